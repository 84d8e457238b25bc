#include "window/Layout.h"

namespace ravlin {

const FontSpec kFontA{"MS Sans Serif", 7.8, 700};
const FontSpec kFontB{"MS Sans Serif", 9.6, 700};
const FontSpec kFontC{"Courier", 9.6, 400};
const FontSpec kFontD{"MS Sans Serif", 19.2, 400};

using K = ControlKind;

const std::array<ControlSpec, 24> kLayout = {{
    // name, index, kind, id, caption, left, top, width, height, tab, font, raised
    {"Command2", -1, K::Button, IdCommand2, "Close", 5724, 3144, 972, 372, 14, nullptr, false},
    {"Command1", 0, K::Button, IdCommand1Unregister, "UnRegister  RICHTX32.OCX", 1680, 1080, 3012, 612, 12, nullptr, false},
    {"Command1", 1, K::Button, IdCommand1Register, "Register  RICHTX32.OCX", 1668, 1920, 3012, 612, 10, nullptr, false},
    {"File1", -1, K::FileList, IdFile1, "", 2640, 5040, 2532, 2376, 9, nullptr, false},
    {"cmdExit", -1, K::Button, IdCmdExit, "Exit", 5280, 6960, 1215, 375, 4, &kFontA, false},
    {"cmdUnregister", -1, K::Button, IdCmdUnregister, "Unregister", 3000, 6600, 1215, 375, 3, &kFontA, false},
    {"cmdRegister", -1, K::Button, IdCmdRegister, "Register", 1560, 6720, 1215, 375, 2, &kFontA, false},
    {"text1", -1, K::TextBox, IdText1, "", 1764, 432, 4716, 408, 0, &kFontC, false},
    {"cmdProceed", -1, K::ColouredButton, IdCmdProceed, "Proceed", 1680, 7080, 1215, 375, 7, &kFontA, false},
    {"cmdCancel", -1, K::ColouredButton, IdCmdCancel, "Cancel", 3360, 7080, 1215, 375, 8, &kFontA, false},
    {"Label2", -1, K::Label, IdLabel2, "Label2", 120, 468, 1488, 384, 15, &kFontB, false},
    {"Label1", 1, K::Label, IdLabel1Second, "2", 600, 2040, 612, 612, 13, &kFontD, false},
    {"Label1", 0, K::Label, IdLabel1First, "1", 600, 1164, 612, 612, 11, &kFontD, false},
    {"lblPleaseVerify", -1, K::Label, IdLblPleaseVerify, "Please verify Product Version, if any:", 600, 5760, 2928, 228, 6, nullptr, true},
    {"lblFileInfo", -1, K::Label, IdLblFileInfo, "", 480, 4440, 5508, 528, 5, &kFontA, true},
    {"lblOCXFileSpec", -1, K::Label, IdLblOCXFileSpec, "OCX file:", 360, 4200, 5508, 468, 1, nullptr, false},
    // Whether the companion control is registered, and whether the file being confirmed is.
    {"lblCompanionState", -1, K::Label, IdLblCompanionState, "", 1680, 2600, 3960, 480, 16, nullptr, false},
    {"lblState", -1, K::Label, IdLblState, "", 360, 7560, 6360, 600, 17, nullptr, false},
    // Under the text box: how many files the command line named.
    {"lblArguments", -1, K::Label, IdLblArguments, "", 1764, 852, 4716, 216, 18, nullptr, false},
    // A program's controls, one a line; they scroll when they do not fit.
    {"lblControls", -1, K::ScrollingLabel, IdLblControls, "", 360, 8220, 6360, 3300, 19, nullptr, false},
    // For a program's controls: a manifest beside it instead of the registry.
    {"cmdNoRegistry", -1, K::ColouredButton, IdCmdNoRegistry, "No registry", 5040, 7080, 1215, 375, 20, &kFontA, false},
    // After a program's controls were registered or described: start it, where Cancel is while confirming.
    {"cmdTryIt", -1, K::Button, IdCmdTryIt, "Try it", 3360, 7080, 1215, 375, 21, &kFontA, false},
    // Under a program's controls: a folder to look for the missing ones in.
    {"cmdLookIn", -1, K::ColouredButton, IdCmdLookIn, "Look in a folder...", 360, 11580, 1815, 375, 22, &kFontA, false},
    // Under a setup's plan: whether the shared files the package has newer are replaced.
    {"cmdReplace", -1, K::ColouredButton, IdCmdReplace, "Replace newer", 4905, 11580, 1815, 375, 23, &kFontA, false},
}};

}  // namespace ravlin
