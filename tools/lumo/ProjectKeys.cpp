#include "ProjectKeys.h"

#include <array>

namespace lumo::builder {

using record::BlockKind;
using record::FormDescription;
using record::ProjectSettings;

namespace {

constexpr std::int32_t kIntMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kIntMax = std::numeric_limits<std::int32_t>::max();

// Names of stored values, the value being the index.
constexpr std::array<const char*, 3> kProjectModes = {"normal", "screensaver", "kiosk"};
constexpr std::array<const char*, 2> kUnits = {"pixels", "percent"};
constexpr std::array<const char*, 4> kWindowKinds = {"standard", "alpha", "shaped", "transparent"};
constexpr std::array<const char*, 6> kBorderStyles = {"standard", "sizeable", "tool", "sizeableTool", "dialog", "none"};
constexpr std::array<const char*, 3> kStartStates = {"normal", "minimized", "maximized"};
constexpr std::array<const char*, 3> kButtonModes = {"send", "ignore", "drag"};

using P = KeyRule<ProjectSettings>;
const P kProjectKeys[] = {
    {"title", KeyKind::Text, &ProjectSettings::title},
    {"projectMode", KeyKind::Choice, &ProjectSettings::projectMode, 0, 0, kProjectModes},
    {"trayIconAtStart", KeyKind::Flag, &ProjectSettings::trayIconAtStart},
    {"showInTaskbar", KeyKind::Flag, &ProjectSettings::showInTaskbar},
    {"splashEnabled", KeyKind::Flag, &ProjectSettings::splashEnabled},
    {"splashWidth", KeyKind::Integer, &ProjectSettings::splashWidth},
    {"splashHeight", KeyKind::Integer, &ProjectSettings::splashHeight},
    {"splashDuration", KeyKind::Integer, &ProjectSettings::splashDuration},
    {"splashImage", KeyKind::File, &ProjectSettings::splashPicture, 0, 0, {}, FileCheck::DirectBitmap, BlockKind::Splash},
    {"trayIconImage", KeyKind::File, &ProjectSettings::trayIconPicture, 0, 0, {}, FileCheck::Icon, BlockKind::TrayIcon},
    {"passwordRequired", KeyKind::Flag, &ProjectSettings::passwordRequired},
    {"password", KeyKind::Text, &ProjectSettings::password},
};

using F = KeyRule<FormDescription>;
const F kFormKeys[] = {
    {"name", KeyKind::Text, &FormDescription::name},
    {"centred", KeyKind::Flag, &FormDescription::centred},
    {"x", KeyKind::Integer, &FormDescription::x, kIntMin, kIntMax},
    {"y", KeyKind::Integer, &FormDescription::y, kIntMin, kIntMax},
    {"sizeUnit", KeyKind::Choice, &FormDescription::sizeUnit, 0, 0, kUnits},
    {"width", KeyKind::Integer, &FormDescription::width},
    {"height", KeyKind::Integer, &FormDescription::height},
    {"windowKind", KeyKind::Choice, &FormDescription::windowKind, 0, 0, kWindowKinds},
    {"borderStyle", KeyKind::Choice, &FormDescription::borderStyle, 0, 0, kBorderStyles},
    {"maximizeBox", KeyKind::Flag, &FormDescription::maximizeBox},
    {"minimizeBox", KeyKind::Flag, &FormDescription::minimizeBox},
    {"systemMenu", KeyKind::Flag, &FormDescription::systemMenu},
    {"startState", KeyKind::Choice, &FormDescription::startState, 0, 0, kStartStates},
    {"scaleEnabled", KeyKind::Flag, &FormDescription::scaleEnabled},
    {"scaleShowAll", KeyKind::Flag, &FormDescription::scaleShowAll},
    {"visibleAtStart", KeyKind::Flag, &FormDescription::visibleAtStart},
    {"alwaysOnTop", KeyKind::Flag, &FormDescription::alwaysOnTop},
    {"alpha", KeyKind::Integer, &FormDescription::alpha, 0, 255},
    {"fadeStepMs", KeyKind::Integer, &FormDescription::fadeStepMs},
    {"fadeIn", KeyKind::FlagInt, &FormDescription::fadeIn},
    {"fadeOut", KeyKind::FlagInt, &FormDescription::fadeOut},
    {"escapeCloses", KeyKind::Flag, &FormDescription::escapeCloses},
    {"altF4Closes", KeyKind::Flag, &FormDescription::altF4Closes},
    {"movie", KeyKind::File, &FormDescription::movie, 0, 0, {}, FileCheck::Movie, BlockKind::Movie},
    {"maskImage", KeyKind::File, &FormDescription::maskPicture, 0, 0, {}, FileCheck::Bitmap, BlockKind::Mask},
    {"playerBackground", KeyKind::Colour, &FormDescription::playerBackground},
    {"popupFrame", KeyKind::Flag, &FormDescription::popupFrame},
    {"leftButtonMode", KeyKind::Choice, &FormDescription::leftButtonMode, 0, 0, kButtonModes},
    {"middleButtonMode", KeyKind::Choice, &FormDescription::middleButtonMode, 0, 0, kButtonModes},
    {"rightButtonMode", KeyKind::Choice, &FormDescription::rightButtonMode, 0, 0, kButtonModes},
    {"windowTitle", KeyKind::Text, &FormDescription::windowTitle},
    {"positionUnit", KeyKind::Choice, &FormDescription::positionUnit, 0, 0, kUnits},
    {"previewMovie", KeyKind::File, &FormDescription::previewMovie, 0, 0, {}, FileCheck::Movie, BlockKind::Movie},
    {"fixedMovieSize", KeyKind::Flag, &FormDescription::fixedMovieSize},
    {"backgroundColour", KeyKind::Colour, &FormDescription::backgroundColour},
    {"movieWidth", KeyKind::Integer, &FormDescription::movieWidth},
    {"movieHeight", KeyKind::Integer, &FormDescription::movieHeight},
};

}  // namespace

std::span<const KeyRule<ProjectSettings>> projectKeys() { return kProjectKeys; }
std::span<const KeyRule<FormDescription>> formKeys() { return kFormKeys; }

}  // namespace lumo::builder
