#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "Fakes.h"
#include "FormProbe.h"
#include "window/Layout.h"

namespace ravlin {
namespace {

const ControlSpec& Spec(ControlId id) {
  return *std::find_if(kLayout.begin(), kLayout.end(),
                       [id](const ControlSpec& s) { return s.id == id; });
}

TEST(Layout, EveryControlOnceWithItsOwnTabIndexAndId) {
  std::set<int> tabs, ids;
  for (const ControlSpec& s : kLayout) {
    tabs.insert(s.tabIndex);
    ids.insert(s.id);
    EXPECT_NE(s.id, 1) << s.name;  // IDOK: Enter would click it
    EXPECT_NE(s.id, 2) << s.name;  // IDCANCEL: Escape would click it
  }
  EXPECT_EQ(tabs.size(), kLayout.size());
  EXPECT_EQ(ids.size(), kLayout.size());
  EXPECT_EQ(*tabs.begin(), 0);
  EXPECT_EQ(*tabs.rbegin(), 23);
}

// The toolkit takes each row's control as the type its kind names, unchecked.
TEST(Layout, EveryRowsKindIsTheTypeOfItsControl) {
  FakeWindow w;
  for (const ControlSpec& s : kLayout) {
    Control& control = w.form.ControlById(s.id);
    bool agrees = false;
    switch (s.kind) {
      case ControlKind::Button:
      case ControlKind::ColouredButton: agrees = dynamic_cast<CommandButton*>(&control) != nullptr; break;
      case ControlKind::Label:
      case ControlKind::ScrollingLabel: agrees = dynamic_cast<Label*>(&control) != nullptr; break;
      case ControlKind::TextBox: agrees = dynamic_cast<TextBox*>(&control) != nullptr; break;
      case ControlKind::FileList: agrees = dynamic_cast<FileListBox*>(&control) != nullptr; break;
    }
    EXPECT_TRUE(agrees) << s.name;
  }
}

TEST(Layout, OnlyTheQuickPathLiesInsideTheStartHeight) {
  std::set<std::string> inView;
  for (const ControlSpec& s : kLayout) {
    const bool inside = s.top + s.height <= kClientHeightTwips && s.left + s.width <= kClientWidthTwips;
    const bool below = s.top >= kClientHeightTwips;
    EXPECT_TRUE(inside || below) << s.name << " straddles the start height";
    if (inside) inView.insert(std::string(s.name) + (s.index >= 0 ? std::to_string(s.index) : ""));
  }
  EXPECT_EQ(inView, (std::set<std::string>{"Label2", "text1", "Label10", "Label11", "Command10",
                                           "Command11", "Command2", "lblCompanionState",
                                           "lblArguments"}));
}

TEST(Layout, NoCaptionDefinesAnAccessKey) {
  for (const ControlSpec& s : kLayout) EXPECT_EQ(std::string(s.caption).find('&'), std::string::npos) << s.name;
}

// Tab order runs by tab index over the controls that can take the focus and are visible.
std::vector<std::string> TabSequence(frmRavlin& form) {
  std::vector<const ControlSpec*> order;
  for (const ControlSpec& s : kLayout) order.push_back(&s);
  std::sort(order.begin(), order.end(),
            [](const ControlSpec* a, const ControlSpec* b) { return a->tabIndex < b->tabIndex; });
  std::vector<std::string> names;
  for (const ControlSpec* s : order) {
    const bool label = s->kind == ControlKind::Label || s->kind == ControlKind::ScrollingLabel;
    if (label || !form.ControlById(s->id).Visible()) continue;
    names.push_back(std::string(s->name) + (s->index >= 0 ? "(" + std::to_string(s->index) + ")" : ""));
  }
  return names;
}

TEST(Layout, IdleTabSequenceSkipsLabelsAndTheHiddenConfirmationButtons) {
  FakeWindow w;
  FormProbe::SetButtonMode(w.form, true);
  EXPECT_EQ(TabSequence(w.form),
            (std::vector<std::string>{"text1", "cmdRegister", "cmdUnregister", "cmdExit", "File1",
                                      "Command1(1)", "Command1(0)", "Command2"}));
  FormProbe::SetButtonMode(w.form, false);
  EXPECT_EQ(TabSequence(w.form),
            (std::vector<std::string>{"text1", "cmdProceed", "cmdCancel", "File1", "Command1(1)",
                                      "Command1(0)", "Command2"}));
}

TEST(Layout, StoredOverlapsAndTheLabelsDrawnAboveThem) {
  const ControlSpec& hint = Spec(IdLblOCXFileSpec);
  const ControlSpec& info = Spec(IdLblFileInfo);
  EXPECT_GT(info.top, hint.top);
  EXPECT_LT(info.top, hint.top + hint.height);
  EXPECT_TRUE(info.raised);
  const ControlSpec& verify = Spec(IdLblPleaseVerify);
  const ControlSpec& list = Spec(IdFile1);
  EXPECT_LT(list.left, verify.left + verify.width);
  EXPECT_GT(verify.top, list.top);
  EXPECT_TRUE(verify.raised);
}

TEST(Layout, TwipsBecomePixelsAtTheDisplaysDpi) {
  EXPECT_EQ(TwipsToPixels(kClientWidthTwips, 96), 470);  // 7044 / 15 = 469.6
  EXPECT_EQ(TwipsToPixels(kClientHeightTwips, 96), 250);
  EXPECT_EQ(TwipsToPixels(1440, 120), 120);
  EXPECT_EQ(TwipsToPixels(15, 96), 1);
}

TEST(Controls, CaptionsComeFromTheLayoutTable) {
  FakeWindow w;
  EXPECT_EQ(w.form.Command1[0].Caption(), "UnRegister  RICHTX32.OCX");
  EXPECT_EQ(w.form.Command1[1].Caption(), "Register  RICHTX32.OCX");
  EXPECT_EQ(w.form.Command2.Caption(), "Close");
  EXPECT_EQ(w.form.Label1[0].Caption(), "1");
  EXPECT_EQ(w.form.Label1[1].Caption(), "2");
  EXPECT_EQ(w.form.Label2.Caption(), "Label2");
  EXPECT_EQ(w.form.lblOCXFileSpec.Caption(), "OCX file:");
  EXPECT_EQ(w.form.lblPleaseVerify.Caption(), "Please verify Product Version, if any:");
  EXPECT_EQ(w.form.cmdProceed.Caption(), "Proceed");
  EXPECT_EQ(w.form.cmdCancel.Caption(), "Cancel");
  EXPECT_EQ(w.form.File1.Pattern(), "*.ocx");
}

TEST(Controls, TextBoxRaisesChangeOnceForEachRealChange) {
  TextBox box;
  int changes = 0;
  box.onChange = [&] { ++changes; };
  box.SetText("a");
  box.SetText("a");
  box.TypedText("ab");
  box.TypedText("ab");
  box.SetText("");
  EXPECT_EQ(changes, 3);
}

// No registry is a program's only (end to end); for a control file it stays hidden.
TEST(SetButtonMode, SwitchesTheTwoButtonSetsAndTheLockInOrder) {
  FakeWindow w;
  for (bool idle : {false, true}) {
    w.log.Clear();
    FormProbe::SetButtonMode(w.form, idle);
    const std::string on = idle ? "1" : "0", off = idle ? "0" : "1";
    EXPECT_EQ(w.log.entries,
              (std::vector<std::string>{"cmdRegister.Visible=" + on, "cmdUnregister.Visible=" + on,
                                        "cmdExit.Visible=" + on, "cmdProceed.Visible=" + off,
                                        "cmdCancel.Visible=" + off, "cmdNoRegistry.Visible=0", "cmdTryIt.Visible=0",
                                        "cmdLookIn.Visible=0", "cmdReplace.Visible=0",
                                        "text1.Locked=" + off}));
    EXPECT_EQ(w.form.text1.Locked(), !idle);
  }
}

}  // namespace
}  // namespace ravlin
