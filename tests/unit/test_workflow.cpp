#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <ostream>

#include "Fakes.h"
#include "FormProbe.h"
#include "VersionBlockBuilder.h"
#include "texts/Texts.h"

namespace ravlin {
namespace {

void AnyExport() {}

constexpr char kControl[] = "C:\\ctl\\version.ocx";   // readable, with version information
constexpr char kOther[] = "C:\\ctl\\other.ocx";       // readable, without
constexpr char kSummary[] = "Company Name:  Ravlin Test\r\nProduct Version:  4.2";
constexpr char kNoVersion[] = "(No Product Version available for this file)";

enum class State { Idle, ConfirmingRegister, ConfirmingUnregister };

const char* Name(State state) {
  switch (state) {
    case State::Idle: return "Idle";
    case State::ConfirmingRegister: return "Confirming register";
    case State::ConfirmingUnregister: return "Confirming unregister";
  }
  return "?";
}

// A started window over two readable control files; the engine can load
// either, and its worker ends at once with S_OK.
class Workflow : public ::testing::Test {
 public:
  Workflow() {
    w.form.Form_Load();
    w.toolkit.files[kControl] = "MZ";
    w.toolkit.files[kOther] = "MZ";
    const std::string data =
        block::VersionBlock(block::Chars::Sixteen,
                            {{{"CompanyName", "Ravlin Test"}, {"ProductVersion", "4.2"}}});
    w.platform.onGetFileVersionInfoSizeA = [data](const char* file, uint32_t*) -> uint32_t {
      return std::strcmp(file, kControl) == 0 ? static_cast<uint32_t>(data.size()) : 0;
    };
    w.platform.onGetFileVersionInfoA = [data](const char*, uint32_t, uint32_t length, void* out) {
      std::copy_n(data.begin(), std::min<size_t>(length, data.size()), static_cast<char*>(out));
      return 1;
    };
    // Full paths name themselves; both controls load.
    w.platform.onGetFullPathNameA = [](const char* name, uint32_t size, char* buffer,
                                       char**) -> uint32_t {
      const size_t length = std::strlen(name);
      if (length + 1 > size) return static_cast<uint32_t>(length + 1);
      std::memcpy(buffer, name, length + 1);
      return static_cast<uint32_t>(length);
    };
    w.platform.onGetFileAttributesA = [](const char*) { return 0x20u; };
    w.platform.onLoadLibraryExA = [](const char*, Handle, uint32_t) {
      return reinterpret_cast<Module>(0x5000);
    };
    w.platform.onGetProcAddress = [](Module, const char*) -> Proc { return &AnyExport; };
    w.platform.onCreateThread = [](void*, size_t, ThreadProc, void*, uint32_t, uint32_t*) {
      return reinterpret_cast<Handle>(0x70);
    };
    Forget();
  }

  void Forget() {
    w.log.Clear();
    w.toolkit.messages.clear();
  }

  void Type(const std::string& text) { w.form.text1.TypedText(text); }

  // Brings the window into a state the way a user would.
  void Enter(State state) {
    if (state == State::Idle) return;
    Type(kControl);
    if (state == State::ConfirmingRegister) w.form.cmdRegister.Click();
    if (state == State::ConfirmingUnregister) w.form.cmdUnregister.Click();
    ASSERT_EQ(StateNow(), state);
    Forget();
  }

  // The window's mode is its visible buttons, the lock and the pending action.
  State StateNow() {
    const frmRavlin& f = w.form;
    const bool idle = f.cmdRegister.Visible();
    EXPECT_EQ(f.cmdUnregister.Visible(), idle);
    EXPECT_EQ(f.cmdExit.Visible(), idle);
    EXPECT_EQ(f.cmdProceed.Visible(), !idle);
    EXPECT_EQ(f.cmdCancel.Visible(), !idle);
    EXPECT_EQ(f.text1.Locked(), !idle);
    if (idle) return State::Idle;
    return FormProbe::RegisterMode(w.form) ? State::ConfirmingRegister : State::ConfirmingUnregister;
  }

  bool InfoCleared() const {
    return !w.form.lblPleaseVerify.Visible() && w.form.lblFileInfo.Caption().empty();
  }

  int At(const std::string& prefix) const {
    const int i = w.log.FindPrefix(prefix);
    EXPECT_GE(i, 0) << prefix << " never happened";
    return i;
  }

  FakeWindow w;
};

TEST_F(Workflow, StartsIdleWithNothingShown) {
  EXPECT_EQ(StateNow(), State::Idle);
  EXPECT_TRUE(InfoCleared());
}

enum class Event { Register, Unregister, Proceed, Cancel, Type };

// One row of the state table: from a state, an event on a text, what the user sees.
struct Transition {
  const char* name;
  State from;
  std::string text;  // typed before the event (in Idle), "" keeps the text of Enter
  Event event;
  std::vector<std::string> messages;
  State to;
};
void PrintTo(const Transition& t, std::ostream* os) { *os << t.name; }

class StateTable : public Workflow, public ::testing::WithParamInterface<Transition> {};

TEST_P(StateTable, LeadsWhereTheTableSays) {
  const Transition& t = GetParam();
  Enter(t.from);
  if (t.from == State::Idle) {
    w.form.text1.SetText("placeholder");
    Type(t.text);
    Forget();
  }
  const std::string textBefore = w.form.text1.Text();

  switch (t.event) {
    case Event::Register: w.form.cmdRegister.Click(); break;
    case Event::Unregister: w.form.cmdUnregister.Click(); break;
    case Event::Proceed: w.form.cmdProceed.Click(); break;
    case Event::Cancel: w.form.cmdCancel.Click(); break;
    case Event::Type: Type(t.text); break;
  }

  EXPECT_EQ(w.toolkit.messages, t.messages);
  EXPECT_EQ(StateNow(), t.to) << "expected " << Name(t.to);
  if (t.event != Event::Type) {
    EXPECT_EQ(w.form.text1.Text(), textBefore) << "the text is left alone";
  }
  // Only entering confirmation of a registration shows information; any change of the text clears it.
  if (t.to == State::ConfirmingRegister && t.event != Event::Type) {
    EXPECT_TRUE(w.form.lblPleaseVerify.Visible());
    EXPECT_EQ(w.form.lblFileInfo.Caption(), kSummary);
  } else {
    EXPECT_TRUE(InfoCleared());
  }
}

const std::vector<std::string> kNone;
const std::vector<std::string> kNoPath{"No path and filename yet"};
const std::vector<std::string> kNotFound{"File not found"};
const std::vector<std::string> kProceeded{"WWW", "Process completed"};

INSTANTIATE_TEST_SUITE_P(
    EveryEvent, StateTable,
    ::testing::Values(
        Transition{"RegisterEmpty", State::Idle, "", Event::Register, kNoPath, State::Idle},
        Transition{"RegisterSpaces", State::Idle, "   ", Event::Register, kNoPath, State::Idle},
        Transition{"RegisterMissing", State::Idle, "C:\\ctl\\missing.ocx", Event::Register, kNotFound, State::Idle},
        // Only spaces count as blank; tabs go on to the existence test.
        Transition{"RegisterTab", State::Idle, "\t", Event::Register, kNotFound, State::Idle},
        // The untrimmed text is what must exist.
        Transition{"RegisterPadded", State::Idle, std::string(" ") + kControl, Event::Register, kNotFound, State::Idle},
        Transition{"RegisterExisting", State::Idle, kControl, Event::Register, kNone, State::ConfirmingRegister},
        Transition{"UnregisterEmpty", State::Idle, "", Event::Unregister, kNoPath, State::Idle},
        Transition{"UnregisterSpaces", State::Idle, " ", Event::Unregister, kNoPath, State::Idle},
        Transition{"UnregisterMissing", State::Idle, "missing.ocx", Event::Unregister, kNotFound, State::Idle},
        Transition{"UnregisterExisting", State::Idle, kControl, Event::Unregister, kNone, State::ConfirmingUnregister},
        Transition{"ProceedRegister", State::ConfirmingRegister, "", Event::Proceed, kProceeded, State::Idle},
        Transition{"ProceedUnregister", State::ConfirmingUnregister, "", Event::Proceed, kProceeded, State::Idle},
        Transition{"CancelRegister", State::ConfirmingRegister, "", Event::Cancel, kNone, State::Idle},
        Transition{"CancelUnregister", State::ConfirmingUnregister, "", Event::Cancel, kNone, State::Idle},
        Transition{"TypeIdle", State::Idle, kOther, Event::Type, kNone, State::Idle},
        // The box is locked while confirming: a change then is another program's, and ends the confirmation.
        Transition{"TypeConfirmingRegister", State::ConfirmingRegister, kOther, Event::Type, kNone, State::Idle},
        Transition{"TypeConfirmingUnregister", State::ConfirmingUnregister, kOther, Event::Type, kNone, State::Idle}),
    [](const ::testing::TestParamInfo<Transition>& info) { return info.param.name; });

TEST_F(Workflow, RefusalsChangeNothingAndNeverLookAtABlankText) {
  for (const char* text : {"", "   "}) {
    Type(text);
    Forget();
    w.form.cmdRegister.Click();
    w.form.cmdUnregister.Click();
    EXPECT_EQ(w.log.entries,
              (std::vector<std::string>{"MsgBox:No path and filename yet", "MsgBox:No path and filename yet"}));
  }
  Type("C:\\ctl\\missing.ocx");
  Forget();
  w.form.cmdRegister.Click();
  EXPECT_EQ(w.log.entries, (std::vector<std::string>{"GetFullPathNameA:C:\\ctl\\missing.ocx",
                                                     "GetFileAttributesA:C:\\ctl\\missing.ocx",
                                                     "OpenForInput:C:\\ctl\\missing.ocx", "MsgBox:File not found"}));
}

TEST_F(Workflow, RegisterShowsTheSummaryBeforeSwitchingTheButtons) {
  Type(kControl);
  Forget();
  w.form.cmdRegister.Click();
  EXPECT_LT(At("OpenForInput:"), At("GetFileVersionInfoSizeA:"));
  EXPECT_LT(At("lblFileInfo.Text=Company Name:"), At("cmdRegister.Visible=0"));
  EXPECT_TRUE(FormProbe::RegisterMode(w.form));
}

TEST_F(Workflow, RegisterOnAFileWithoutVersionSaysSoAndStillConfirms) {
  Type(kOther);
  w.form.cmdRegister.Click();
  EXPECT_EQ(StateNow(), State::ConfirmingRegister);
  EXPECT_FALSE(w.form.lblPleaseVerify.Visible());
  EXPECT_EQ(w.form.lblFileInfo.Caption(), kNoVersion);
}

TEST_F(Workflow, UnregisterReadsNoVersionInformation) {
  Type(kControl);
  w.form.cmdUnregister.Click();
  EXPECT_EQ(w.log.FindPrefix("GetFileVersionInfo"), -1);
  EXPECT_FALSE(FormProbe::RegisterMode(w.form));
}

TEST_F(Workflow, ProceedAsksFirstThenRunsTheEngineThenClearsThenGoesIdle) {
  Enter(State::ConfirmingRegister);
  w.form.cmdProceed.Click();
  EXPECT_LT(At("MsgBox:WWW"), At("GetFullPathNameA:"));
  EXPECT_EQ(w.log.WithPrefix("LoadLibraryExA:"),
            std::vector<std::string>{std::string("LoadLibraryExA:") + kControl + "|8"});
  EXPECT_EQ(w.log.WithPrefix("GetProcAddress:"), std::vector<std::string>{"GetProcAddress:DllRegisterServer"});
  EXPECT_LT(At("MsgBox:Process completed"), At("lblPleaseVerify.Visible=0"));
  EXPECT_LT(At("lblFileInfo.Text="), At("cmdRegister.Visible=1"));
  // The checks are not made again.
  EXPECT_EQ(w.log.FindPrefix("OpenForInput:"), -1);
  EXPECT_TRUE(FormProbe::RegisterMode(w.form));
}

TEST_F(Workflow, ProceedAfterUnregisterPassesUAndLeavesTheLabels) {
  Enter(State::ConfirmingUnregister);
  w.form.cmdProceed.Click();
  EXPECT_LT(At("MsgBox:WWW"), At("GetFullPathNameA:"));
  EXPECT_EQ(w.log.WithPrefix("GetProcAddress:"), std::vector<std::string>{"GetProcAddress:DllUnregisterServer"});
  EXPECT_EQ(w.log.FindPrefix("lblPleaseVerify."), -1);
  EXPECT_EQ(w.log.FindPrefix("lblFileInfo."), -1);
  EXPECT_FALSE(FormProbe::RegisterMode(w.form));
}

TEST_F(Workflow, WhateverTheEngineReportsTheWindowGoesIdle) {
  w.platform.onLoadLibraryExA = nullptr;
  Enter(State::ConfirmingRegister);
  w.form.cmdProceed.Click();
  ASSERT_EQ(w.toolkit.messages.size(), 2u);
  EXPECT_EQ(w.toolkit.messages[0], "WWW");
  EXPECT_EQ(w.toolkit.messages[1].rfind("Failure loading control DLL", 0), 0u) << w.toolkit.messages[1];
  EXPECT_EQ(StateNow(), State::Idle);
  EXPECT_TRUE(InfoCleared());
}

TEST_F(Workflow, CancelNeverRunsTheEngineAndKeepsThePendingAction) {
  Enter(State::ConfirmingUnregister);
  w.form.cmdCancel.Click();
  EXPECT_EQ(w.log.FindPrefix("LoadLibraryExA:"), -1);
  EXPECT_FALSE(FormProbe::RegisterMode(w.form));
  Enter(State::ConfirmingRegister);
  w.form.cmdCancel.Click();
  EXPECT_TRUE(FormProbe::RegisterMode(w.form));
  EXPECT_LT(At("lblFileInfo.Text="), At("cmdRegister.Visible=1"));
}

TEST_F(Workflow, EveryChangeOfTheTextClearsTheInformation) {
  for (const char* typed : {"C", "C:", "C:\\x", ""}) {
    FormProbe::ShowFileInfo(w.form, kControl);
    ASSERT_TRUE(w.form.lblPleaseVerify.Visible());
    Type(typed);
    EXPECT_TRUE(InfoCleared()) << "after typing [" << typed << "]";
  }
  // Set by the program, likewise; an unchanged text is no change.
  FormProbe::ShowFileInfo(w.form, kControl);
  w.form.text1.SetText(kOther);
  EXPECT_TRUE(InfoCleared());
  Forget();
  w.form.text1.SetText(kOther);
  EXPECT_EQ(w.log.FindPrefix("lblFileInfo."), -1);
}

// What Register read is what Proceed runs: a press on the list changes
// nothing, and a name changed from outside drops the confirmation, even
// while the question is up.
TEST_F(Workflow, WhileConfirmingThePressChangesNothingAndAChangedNameRunsNothing) {
  w.form.File1.SetPath("C:\\WINDOWS\\system32");
  w.View(IdFile1).entries = {"a.ocx", "picked.ocx"};
  w.View(IdFile1).selected = 1;
  Enter(State::ConfirmingRegister);
  w.form.File1.MouseDown(1, 0, 100.0f, 200.0f);
  EXPECT_EQ(w.form.text1.Text(), kControl);
  EXPECT_EQ(w.form.lblFileInfo.Caption(), kSummary);
  EXPECT_EQ(StateNow(), State::ConfirmingRegister);
  w.form.cmdProceed.Click();
  EXPECT_EQ(w.log.WithPrefix("LoadLibraryExA:"),
            std::vector<std::string>{std::string("LoadLibraryExA:") + kControl + "|8"});

  Enter(State::ConfirmingRegister);
  w.toolkit.onMsgBox = [this](const std::string&) { Type(kOther); };
  w.form.cmdProceed.Click();
  EXPECT_EQ(w.log.FindPrefix("LoadLibraryExA:"), -1);
  EXPECT_EQ(StateNow(), State::Idle);
  EXPECT_EQ(w.form.lblState.Caption(), text::kNameChangedWhileConfirming);
}

// Explorer's "Copy as path" quotes the path: one enclosing pair is not part of
// the name, for the checks and the engine alike; anything else stays as typed.
TEST_F(Workflow, OneEnclosingPairOfQuotesIsDropped) {
  const std::string quoted = std::string("\"") + kControl + "\"";
  for (bool registering : {true, false}) {
    Type(quoted);
    (registering ? w.form.cmdRegister : w.form.cmdUnregister).Click();
    EXPECT_EQ(StateNow(), registering ? State::ConfirmingRegister : State::ConfirmingUnregister);
    if (registering) {
      EXPECT_EQ(w.form.lblFileInfo.Caption(), kSummary);
    }
    Forget();
    w.form.cmdProceed.Click();
    EXPECT_EQ(w.log.WithPrefix("LoadLibraryExA:"),
              std::vector<std::string>{std::string("LoadLibraryExA:") + kControl + "|8"});
    EXPECT_EQ(w.toolkit.messages.back(), "Process completed");
  }

  const std::vector<std::pair<std::string, std::string>> refused = {
      {std::string("\"") + kControl, "File not found"},  // unmatched
      {"\"\"", "No path and filename yet"},
      {"\"  \"", "No path and filename yet"}};
  for (const auto& [text, message] : refused) {
    Type(text);
    Forget();
    w.form.cmdRegister.Click();
    EXPECT_EQ(w.toolkit.messages, std::vector<std::string>{message}) << text;
  }
}

TEST_F(Workflow, NoHandlerTrapsAnError) {
  w.toolkit.onMsgBox = [](const std::string&) { throw ToolkitError("Out of memory"); };
  Type("");
  EXPECT_THROW(w.form.cmdRegister.Click(), ToolkitError);
  Enter(State::ConfirmingRegister);
  EXPECT_THROW(w.form.cmdProceed.Click(), ToolkitError);
  EXPECT_EQ(w.log.FindPrefix("LoadLibraryExA:"), -1) << "the engine ran although \"WWW\" failed";
}

struct PressCase {
  const char* name;
  int16_t button;
  int16_t shift;
  int selected;
  std::string text;  // text1 afterwards
};
void PrintTo(const PressCase& c, std::ostream* os) { *os << c.name; }

class FileListPress : public Workflow, public ::testing::WithParamInterface<PressCase> {};

TEST_P(FileListPress, CopiesTheSelectedEntrysFullPath) {
  const PressCase& c = GetParam();
  w.form.File1.SetPath("C:\\WINDOWS\\system32");
  w.View(IdFile1).entries = {"comdlg32.ocx", "my control.ocx"};
  w.View(IdFile1).selected = c.selected;
  Type(kControl);
  w.form.cmdRegister.Click();
  w.form.cmdCancel.Click();
  Type(kControl);
  FormProbe::ShowFileInfo(w.form, kControl);  // information of an earlier file on show

  EXPECT_NO_THROW(w.form.File1.MouseDown(c.button, c.shift, 0.0f, 0.0f));

  EXPECT_EQ(w.form.text1.Text(), c.text);
  EXPECT_EQ(InfoCleared(), c.selected >= 0);
}

INSTANTIATE_TEST_SUITE_P(
    AnyButton, FileListPress,
    ::testing::Values(PressCase{"Primary", 1, 0, 1, "C:\\WINDOWS\\system32\\my control.ocx"},
                      PressCase{"Secondary", 2, 0, 0, "C:\\WINDOWS\\system32\\comdlg32.ocx"},
                      PressCase{"MiddleWithShift", 4, 1, 1, "C:\\WINDOWS\\system32\\my control.ocx"},
                      // Nothing selected yet: the press changes nothing.
                      PressCase{"NothingSelected", 1, 0, -1, kControl}),
    [](const ::testing::TestParamInfo<PressCase>& info) { return info.param.name; });

}  // namespace
}  // namespace ravlin
