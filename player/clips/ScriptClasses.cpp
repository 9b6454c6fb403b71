// Puts the display and input classes on a stage's machine, in the order their prototypes need.
#include "ScriptClasses.h"

#include "ClipStage.h"

namespace clips {

void installScriptClasses(ClipStage& stage) {
  installTextFormatClass(stage.machine());
  installTextFieldClass(stage);
  installButtonClass(stage);
  installColorClass(stage);
  installMovieClipLoaderClass(stage);
}

}  // namespace clips
