// A control that hosts input fields as its children and wants Tab and Enter of those fields
// handed to it (the icon table) says so by deriving from this interface. Unless the field is
// first in the host's tab order, the host then receives WM_KEYDOWN with VK_TAB and the
// field (TControl*) in LParam.
#pragma once

namespace komp {

class ITableHost {
 public:
  virtual ~ITableHost() = default;
};

}  // namespace komp
