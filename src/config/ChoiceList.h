#pragma once

// The item lists of the settings combo boxes and tab controls. Items may hold
// the language table's asterisk-letter codes ("5 *s"); they are expanded with
// the current language when a list is loaded into a control. Item i stands
// for field value i.

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace orvo {

inline constexpr std::size_t kChoiceItemMaxLength = 63;

struct ChoiceList {
  std::span<const std::string_view> items;
  int count() const { return static_cast<int>(items.size()); }
};

enum class ChoiceListId : int {
  RecordMode,
  Prehistory,
  TimerMode,
  HoldTime, // motion and VAS hold time
  VideoSource,
  FrameRate25,
  FrameRate30,
  VideoBitrate,
  FrameSize,
  AudioSource,
  AudioBitrate,
  AudioMode,
  TimeZone,
  Backlight,
  HideControls,
  DisplayOff,
  RecorderOff,
  PowerMode, // camera power and GPS power
  CameraVoltage,
  Orientation,
  ColourSystem,
  RegionTabs, // tabs of the motion areas: "Region 1" .. "Region 4"
};
inline constexpr int kChoiceListCount = static_cast<int>(ChoiceListId::RegionTabs) + 1;

const ChoiceList &GetChoiceList(ChoiceListId id);

// The items with their letter codes expanded in the current language.
std::vector<std::string> ExpandChoiceList(const ChoiceList &list);

// Frame rate list of the family shown for a video source entry: the 25-frame
// list for the 50 Hz input, the 30-frame list otherwise.
ChoiceListId FrameRateListFor(int sourceIndex);

} // namespace orvo
