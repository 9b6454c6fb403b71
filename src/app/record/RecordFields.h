// The field lists of the record and of a form description, written once and walked by both
// the reader and the writer. A visitor offers integer, flag, text, block, packed (with its
// scrambling kind), blob,
// protectedString, the reserved* placeholders and the tables; each returns false to stop.
#pragma once

#include "ProjectSettings.h"

#include <algorithm>

namespace lumo::record {

template <typename Visitor, typename Form>
bool visitFormFields(Visitor& v, Form& f, int fv) {
  return v.text(f.name) && v.flag(f.centred) && v.integer(f.x) && v.integer(f.y) && v.integer(f.sizeUnit) &&
         v.integer(f.width) && v.integer(f.height) && v.integer(f.windowKind) && v.integer(f.borderStyle) &&
         v.flag(f.maximizeBox) && v.flag(f.minimizeBox) && v.flag(f.systemMenu) && v.integer(f.startState) &&
         v.flag(f.scaleEnabled) && v.flag(f.scaleShowAll) && v.flag(f.visibleAtStart) && v.flag(f.alwaysOnTop) &&
         v.reservedInt() && v.reservedInt() &&                                    // R, S
         v.integer(f.alpha) && v.integer(f.fadeStepMs) && v.integer(f.fadeIn) && v.integer(f.fadeOut) &&
         v.reservedText() &&                                                      // T
         v.flag(f.escapeCloses) && v.flag(f.altF4Closes) && v.block(f.movie) &&
         (fv < 2 || v.packed(f.maskPicture, BlockKind::Mask)) &&
         (fv < 3 || v.integer(f.playerBackground)) &&
         (fv < 4 || v.flag(f.popupFrame)) &&
         (fv < 5 || (v.integer(f.leftButtonMode) && v.integer(f.middleButtonMode) && v.integer(f.rightButtonMode))) &&
         (fv < 6 || v.text(f.windowTitle)) &&
         (fv < 7 || v.integer(f.positionUnit)) &&
         (fv < 8 || (v.block(f.previewMovie) && v.reservedBlock())) &&          // V
         (fv < 9 || (v.flag(f.fixedMovieSize) && v.integer(f.backgroundColour))) &&
         (fv < 10 || (v.integer(f.movieWidth) && v.integer(f.movieHeight)));
}

// `version` is the record's version field, already read or written; a version above the
// highest known is walked as the highest.
template <typename Visitor, typename Settings>
bool visitSettingsFields(Visitor& v, Settings& s, int version) {
  const int r = std::min(version, kHighestRecordVersion);
  return v.integer(s.projectMode) && v.text(s.title) && v.reservedText() &&   // A
         v.flag(s.trayIconAtStart) && v.flag(s.showInTaskbar) && v.flag(s.splashEnabled) &&
         v.reservedText() &&                                                  // B
         v.integer(s.splashWidth) && v.integer(s.splashHeight) && v.integer(s.splashDuration) &&
         v.forms(s.forms) &&
         (r < 2 || v.blobList(s.extensionBlobs)) &&
         (r < 3 || v.protectedTable(s.secureVariables)) &&
         (r < 4 || v.blobTable(s.libraryFiles)) &&
         (r < 5 || (v.reservedProtectedList() &&
                    v.reservedInt() && v.reservedInt() && v.reservedInt() && v.reservedInt() &&  // C to F
                    v.reservedFlag() && v.reservedText() &&                                      // G, H
                    v.flag(s.passwordRequired) && v.reservedInt())) &&                           // I
         (r < 6 || v.packed(s.splashPicture, BlockKind::Splash)) &&
         (r < 7 || v.text(s.password)) &&
         (r < 8 || v.packed(s.trayIconPicture, BlockKind::TrayIcon)) &&
         (r < 9 || v.protectedTable(s.globalVariables)) &&
         (r < 10 || (v.reservedText() && v.reservedText() && v.reservedText() && v.reservedText() &&
                     v.reservedText() && v.reservedText() && v.reservedText())) &&               // J to P
         (r < 11 || v.reservedFlag());                                                           // Q
}

}  // namespace lumo::record
