#pragma once
// The texts the GNOME Files module shows in the values of its pages while
// the reader is at work and when it gave no answer.
namespace nautilushost {

inline constexpr char kReadingText[] = "Reading\u2026";
inline constexpr char kTimedOutText[] = "Could not be read in time";
inline constexpr char kReaderStoppedText[] = "Could not be read: the reader stopped";
inline constexpr char kNotReadText[] = "Could not be read";
// In the Layers page of a container that turned out to hold one layer.
inline constexpr char kOneLayerText[] = "The file holds one layer";

// How long the reader may take for the pages, and again for Count.
inline constexpr unsigned kReaderLimitMs = 10000;

} // namespace nautilushost
