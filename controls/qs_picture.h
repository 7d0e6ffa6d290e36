// CQSPicture, the picture box: shows an image file at its own size from the
// top-left corner, clipped by the control's rectangle from the form.
#pragma once

#include <string>

#include "controls/qs_control.h"
#include "win32/handles.h"

namespace qs {

class CQSPicture : public CQSControl {
 public:
  // The form's picture: "<work directory>\<name>"; an empty name does
  // nothing. The picture name becomes the name only when it decodes.
  void LoadPictureFile(const std::u16string& name);
  // Message 1555: the path as given (relative to the current directory).
  void ShowPictureFile(const std::wstring& path);

  const std::u16string& pictureName() const { return pictureName_; }
  HBITMAP image() const { return image_.get(); }

 private:
  // A file that does not decode leaves the current picture; false then.
  bool Load(const std::wstring& path);

  win32::OwnedBitmap image_;
  std::u16string pictureName_;
};

}  // namespace qs
