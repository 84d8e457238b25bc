#pragma once
#include "platform/win32/NativeControl.h"

namespace ravlin {

// A sorted list of the ordinary files of one folder; a mouse press raises the
// list's MouseDown event after the list has moved its selection.
class NativeFileList : public NativeControl {
 public:
  NativeFileList(const ControlSpec& spec, const ControlSite& site, FileListBox& list);
  void ShowDirectory(const std::string& directory, const std::string& pattern) override;
  int SelectedIndex() const override;
  std::string Entry(int index) const override;

 private:
  static LRESULT CALLBACK ListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam,
                                   UINT_PTR subclassId, DWORD_PTR data);
  void MouseDown(int16_t button, WPARAM keys, LPARAM position);

  FileListBox& list_;
};

}  // namespace ravlin
