#pragma once
// Reaches the window's private routines and variables from the tests.
#include "window/frmRavlin.h"

namespace ravlin {

struct FormProbe {
  static void SetButtonMode(frmRavlin& f, bool idle) { f.SetButtonMode(idle); }
  static void RegServerProc(frmRavlin& f, const std::string& file, const std::string& command) {
    f.RegServerProc(file, command);
  }
  static void ShowFileInfo(frmRavlin& f, const std::string& file) { f.ShowFileInfo(file); }
  static Registrar& RegistrarOf(frmRavlin& f) { return f.registrar_; }

  static std::string& CompanyName(frmRavlin& f) { return f.mCompanyName; }
  static std::string& ProductVersion(frmRavlin& f) { return f.mProductVersion; }
  static bool& RegisterMode(frmRavlin& f) { return f.mRegisterMode; }
  static std::optional<int64_t>& ApiResult(frmRavlin& f) { return f.mApiResult; }
  static std::string& CrLf(frmRavlin& f) { return f.mCrLf; }
  static bool& OcxFound(frmRavlin& f) { return f.mOcxFound; }
};

}  // namespace ravlin
