#include <gtest/gtest.h>

#include <QPlainTextEdit>

#include "framework/gui/memo.h"
#include "framework/testing/doubles.h"

using namespace komp;

TEST(Memo, TextCrossesInCodePage1252WithItsLines) {
  TTestServices services;
  TForm form;
  auto* memo = new TMemo(&form);
  int changes = 0;
  memo->OnChange = [&](TObject* s) {
    EXPECT_EQ(s, memo);
    ++changes;
  };
  memo->SetText("M\xFCller\nStra\xDF" "e 1");
  EXPECT_EQ(memo->Editor()->toPlainText(), QString::fromUtf8("Müller\nStraße 1"));
  EXPECT_EQ(memo->Text(), "M\xFCller\nStra\xDF" "e 1");
  EXPECT_EQ(changes, 1);
  // The same text again changes nothing, so no OnChange either.
  memo->SetText("M\xFCller\nStra\xDF" "e 1");
  EXPECT_EQ(changes, 1);
  memo->Editor()->insertPlainText(QString::fromUtf8("€"));
  EXPECT_EQ(memo->Text(), "\x80M\xFCller\nStra\xDF" "e 1");  // typed at the cursor, still at the start
  EXPECT_EQ(changes, 2);
}
