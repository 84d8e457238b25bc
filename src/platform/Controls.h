#pragma once
// Thin control objects: each holds the properties the form touches and
// forwards every change to the native control behind it, if one is attached.
#include <cstdint>
#include <functional>
#include <string>

#include "platform/Toolkit.h"

namespace ravlin {

// What a native control shows; the toolkit attaches one per control.
class ControlView {
 public:
  virtual ~ControlView() = default;
  virtual void ShowText(const std::string& text) = 0;
  virtual void ShowVisible(bool visible) = 0;
  virtual void ShowLocked(bool) {}
  virtual void ShowForeColor(Color) {}
  // File lists: fill with the ordinary files of directory matching pattern.
  // Throws ToolkitError when the directory cannot be listed.
  virtual void ShowDirectory(const std::string&, const std::string&) {}
  virtual int SelectedIndex() const { return -1; }
  virtual std::string Entry(int) const { return {}; }
};

class Control {
 public:
  // Polymorphic so a toolkit can check a layout row's kind against the object.
  virtual ~Control() = default;
  void Attach(ControlView* view) { view_ = view; }
  bool Visible() const { return visible_; }
  void SetVisible(bool visible) {
    visible_ = visible;
    if (view_) view_->ShowVisible(visible);
  }

 protected:
  ControlView* view_ = nullptr;

 private:
  bool visible_ = true;
};

class Label : public Control {
 public:
  explicit Label(std::string caption = {}) : caption_(std::move(caption)) {}
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& caption) {
    caption_ = caption;
    if (view_) view_->ShowText(caption);
  }
  Color ForeColor() const { return foreColor_; }
  void SetForeColor(Color color) {
    foreColor_ = color;
    if (view_) view_->ShowForeColor(color);
  }

 private:
  std::string caption_;
  Color foreColor_{};
};

class CommandButton : public Control {
 public:
  explicit CommandButton(std::string caption = {}) : caption_(std::move(caption)) {}
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& caption) { caption_ = caption; }
  void Click() {
    if (onClick) onClick();
  }
  std::function<void()> onClick;

 private:
  std::string caption_;
};

class TextBox : public Control {
 public:
  const std::string& Text() const { return text_; }
  // Set by the program: the native control follows, Change fires once.
  void SetText(const std::string& text) {
    if (text == text_) return;
    text_ = text;
    if (view_) view_->ShowText(text);
    Changed();
  }
  // Typed by the user: the native control already shows it.
  void TypedText(const std::string& text) {
    if (text == text_) return;
    text_ = text;
    Changed();
  }
  bool Locked() const { return locked_; }
  void SetLocked(bool locked) {
    locked_ = locked;
    if (view_) view_->ShowLocked(locked);
  }
  std::function<void()> onChange;

 private:
  void Changed() {
    if (onChange) onChange();
  }
  std::string text_;
  bool locked_ = false;
};

class FileListBox : public Control {
 public:
  explicit FileListBox(std::string pattern) : pattern_(std::move(pattern)) {}
  const std::string& Pattern() const { return pattern_; }
  const std::string& Path() const { return path_; }
  // Throws ToolkitError when the directory cannot be listed; the list and
  // its path then stay as they were.
  void SetPath(const std::string& path) {
    if (view_) view_->ShowDirectory(path, pattern_);
    path_ = path;
  }
  // -1 when nothing is selected.
  int ListIndex() const { return view_ ? view_->SelectedIndex() : -1; }
  std::string List(int index) const { return view_ ? view_->Entry(index) : std::string(); }
  void MouseDown(int16_t button, int16_t shift, float x, float y) {
    if (onMouseDown) onMouseDown(button, shift, x, y);
  }
  std::function<void(int16_t button, int16_t shift, float x, float y)> onMouseDown;

 private:
  std::string pattern_;
  std::string path_;
};

}  // namespace ravlin
