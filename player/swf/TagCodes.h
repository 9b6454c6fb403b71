// The SWF tag codes this reader knows. MovieReader's table gives each its name and handler;
// the tests build movies with them.
#pragma once

#include <cstdint>

namespace swf {

namespace tag {
inline constexpr uint16_t kEnd = 0, kShowFrame = 1, kDefineShape = 2, kPlaceObject = 4, kRemoveObject = 5,
                          kDefineBits = 6, kDefineButton = 7, kJpegTables = 8, kSetBackgroundColor = 9,
                          kDefineFont = 10, kDefineText = 11, kDoAction = 12, kDefineFontInfo = 13,
                          kDefineSound = 14, kStartSound = 15, kDefineButtonSound = 17, kSoundStreamHead = 18,
                          kSoundStreamBlock = 19, kDefineBitsLossless = 20, kDefineBitsJpeg2 = 21,
                          kDefineShape2 = 22, kDefineButtonCxform = 23, kProtect = 24, kPlaceObject2 = 26,
                          kRemoveObject2 = 28, kDefineShape3 = 32, kDefineText2 = 33, kDefineButton2 = 34,
                          kDefineBitsJpeg3 = 35, kDefineBitsLossless2 = 36, kDefineEditText = 37,
                          kDefineSprite = 39, kNameCharacter = 40, kProductInfo = 41, kFrameLabel = 43,
                          kSoundStreamHead2 = 45, kDefineMorphShape = 46, kDefineFont2 = 48, kExportAssets = 56,
                          kImportAssets = 57, kEnableDebugger = 58, kDoInitAction = 59, kDefineVideoStream = 60,
                          kVideoFrame = 61, kDefineFontInfo2 = 62, kDebugId = 63, kEnableDebugger2 = 64,
                          kScriptLimits = 65, kSetTabIndex = 66, kFileAttributes = 69, kPlaceObject3 = 70,
                          kImportAssets2 = 71, kDoAbc = 72, kDefineFontAlignZones = 73, kCsmTextSettings = 74,
                          kDefineFont3 = 75, kSymbolClass = 76, kMetadata = 77, kDefineScalingGrid = 78,
                          kDoAbc2 = 82, kDefineShape4 = 83, kDefineMorphShape2 = 84,
                          kDefineSceneAndFrameLabelData = 86, kDefineBinaryData = 87, kDefineFontName = 88,
                          kStartSound2 = 89, kDefineBitsJpeg4 = 90, kDefineFont4 = 91, kEnableTelemetry = 93,
                          kPlayerScript = 1000;  // the stand-in player's movie script (player/README.md)
}  // namespace tag

}  // namespace swf
