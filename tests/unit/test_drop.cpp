// Files dropped on the window, through the fake toolkit: the first one is
// named as if typed, unless a registration waits for confirmation.
#include <gtest/gtest.h>

#include "Fakes.h"

namespace ravlin {
namespace {

TEST(DropFiles, NamesTheFirstFileUnlessTheTextIsLocked) {
  struct Case {
    bool locked;
    const char* text;
    const char* fileInfo;
  };
  for (const Case& c : {Case{false, "D:\\first.ocx", ""},
                        Case{true, "C:\\confirming.ocx", "Company Name:  Shown"}}) {
    FakeWindow w;
    w.form.text1.SetText("C:\\confirming.ocx");
    w.form.lblFileInfo.SetCaption("Company Name:  Shown");
    w.form.text1.SetLocked(c.locked);
    w.toolkit.DropFiles({"D:\\first.ocx", "D:\\second.ocx"});
    EXPECT_EQ(w.form.text1.Text(), c.text) << "locked " << c.locked;
    EXPECT_EQ(w.form.lblFileInfo.Caption(), c.fileInfo) << "locked " << c.locked;
  }
}

}  // namespace
}  // namespace ravlin
