// The settings file shared by the screensaver and the settings tool: its name,
// sections, keys, and the defaults each reader uses when a key or the whole
// file is missing.
#pragma once

#include <cstddef>

namespace vantel_settings {

// Passed bare to the profile functions, which resolve it to the one place
// both programs share, whatever their working directory: kProfileFolder,
// which each program names at start-up, under the user's configuration
// directory.
inline constexpr char kIniFileName[] = "Vantel.ini";
inline constexpr char kProfileFolder[] = "vantel";

inline constexpr char kSaverSection[] = "SS_SECTION";  // holds kSpeedKey
inline constexpr char kSettingSection[] = "SETTING";   // holds the other keys

// Degrees the box turns per frame; the tool's slider position.
inline constexpr char kSpeedKey[] = "SPEED";
// Path of the texture bitmap.
inline constexpr char kFileNameKey[] = "FILENAME";
// The tool's pen colour as signed decimal text of 0x00BBGGRR.
inline constexpr char kColorKey[] = "COLOR";
// The directory the tool's file dialogs open in.
inline constexpr char kDirKey[] = "DIR";

// The screensaver reads SPEED as an integer and FILENAME into a buffer of
// kSaverFileNameBufferSize bytes (at most 255 characters).
inline constexpr int kSaverDefaultSpeed = 5;
inline constexpr char kSaverDefaultFileName[] = "123.bmp";
inline constexpr std::size_t kSaverFileNameBufferSize = 256;

// The tool reads every key as text into buffers of kToolBufferSize bytes
// (at most 1023 characters) and converts SPEED and COLOR itself.
inline constexpr char kToolDefaultFileName[] = "";
inline constexpr char kToolDefaultSpeed[] = "5";
inline constexpr char kToolDefaultColor[] = "255";
inline constexpr char kToolDefaultDir[] = "C:\\";
inline constexpr std::size_t kToolBufferSize = 1024;

}  // namespace vantel_settings
