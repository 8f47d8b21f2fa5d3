#!/usr/bin/env bash
# Qt stays inside framework/: components/ and app/ include no Qt header but <QPointer>, except
# app/main.cpp, which starts the application. Lists every offending line and fails.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

# Qt's class headers (<QWidget>, <QtWidgets/QWidget>) and its lower-case ones (<qwidget.h>).
pattern='^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"](Q|q[a-z0-9_]*\.h[>"])'
offending=$(grep -rnE "$pattern" components app \
              --include='*.h' --include='*.hh' --include='*.hpp' --include='*.c' --include='*.cc' \
              --include='*.cpp' --include='*.cxx' --include='*.inl' 2>/dev/null |
            grep -vE '^[^:]+:[0-9]+:[[:space:]]*#[[:space:]]*include[[:space:]]*[<"]QPointer[>"]' |
            grep -v '^app/main\.cpp:' || true)

if [ -n "$offending" ]; then
  echo "Qt headers outside framework/ (only <QPointer> is allowed, and app/main.cpp):" >&2
  echo "$offending" >&2
  exit 1
fi
