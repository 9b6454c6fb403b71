// The ActionScript classes bound to the display list and input beside MovieClip: TextField,
// TextFormat, Button, Color, Key, Mouse, Stage, Selection and MovieClipLoader, one a file.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "Machine.h"
#include "TextFormat.h"

namespace display {
class EditTextObject;
struct ButtonEvent;
}

namespace clips {

class ClipStage;

// A TextFormat object's values: each unset one reads as null and leaves a field's as it is.
struct FormatFields {
  std::optional<std::string> font, url, target, align, display;
  std::optional<double> size, color, leftMargin, rightMargin, indent, leading, blockIndent, letterSpacing;
  std::optional<bool> bold, italic, underline, bullet, kerning;
  std::optional<std::vector<double>> tabStops;
};

// The values of a TextFormat object; none for other objects.
FormatFields* formatFieldsOf(const avm1::Value& v);
avm1::ObjectRef newTextFormat(avm1::Machine& m, const FormatFields& fields);
// Every value of a field's format (sizes and margins in pixels), and the other way.
FormatFields fieldsOf(const text::TextFormat& format);
void applyFields(const FormatFields& fields, text::TextFormat* format);
// What a range's formats share; values that differ stay unset.
FormatFields commonFields(const FormatFields& a, const FormatFields& b);

// The text field an object stands for, if it is one still on the display list.
display::EditTextObject* fieldOf(const avm1::Value& v);

void installTextFormatClass(avm1::Machine& m);
void installTextFieldClass(ClipStage& stage);
// The user changed a field's text (typing, deleting, cutting, pasting): it broadcasts
// onChanged(field) to its listeners, itself first.
void fieldChanged(ClipStage& stage, display::EditTextObject& field);
// A new text field object: its own listeners, itself the first.
void initializeField(avm1::Machine& m, const avm1::ObjectRef& field);
void installColorClass(ClipStage& stage);
void installButtonClass(ClipStage& stage);
void installMovieClipLoaderClass(ClipStage& stage);
// A button event from the pointer runs the button's handler for it (onPress, onRelease, ...).
void runButtonHandler(ClipStage& stage, const display::ButtonEvent& event);
// All of the above and the input objects (Key, Mouse, Stage, Selection), MovieClipLoader.
void installScriptClasses(ClipStage& stage);

}  // namespace clips
