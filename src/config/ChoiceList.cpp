#include "config/ChoiceList.h"

#include "settings/Stringcode.h"

#include <array>

namespace orvo {

namespace {

using namespace std::string_view_literals;

constexpr std::array kRecordMode{"*L"sv, "*c"sv, "*C"sv, "*P"sv, "*Q"sv};
constexpr std::array kPrehistory{"*F"sv,   "1 *m"sv,  "2 *m"sv,  "3 *m"sv,
                                 "5 *m"sv, "10 *m"sv, "20 *m"sv, "30 *m"sv};
constexpr std::array kTimerMode{"*w"sv, "*x"sv, "*y"sv, "*z"sv};
constexpr std::array kHoldTime{"5 *s"sv, "10 *s"sv, "20 *s"sv, "30 *s"sv,
                               "1 *m"sv, "3 *m"sv,  "5 *m"sv,  "10 *m"sv};
constexpr std::array kVideoSource{"*S"sv, "*T"sv, "*U"sv};
constexpr std::array kFrameRate25{"1"sv, "2"sv, "5"sv, "10"sv, "12"sv, "25"sv};
constexpr std::array kFrameRate30{"1"sv, "2"sv, "5"sv, "10"sv, "15"sv, "30"sv};
constexpr std::array kVideoBitrate{"64 *k"sv,   "96 *k"sv,   "128 *k"sv, "192 *k"sv,
                                   "256 *k"sv,  "384 *k"sv,  "512 *k"sv, "768 *k"sv,
                                   "1024 *k"sv, "1536 *k"sv, "2048 *k"sv};
constexpr std::array kFrameSize{"1:4"sv, "1:2"sv, "1:1"sv, "*J"sv};
constexpr std::array kAudioSource{"*D"sv, "*E"sv};
constexpr std::array kAudioBitrate{"32 *k"sv, "64 *k"sv, "96 *k"sv, "128 *k"sv};
constexpr std::array kAudioMode{"*W"sv, "*X"sv, "*Y"sv};
constexpr std::array kTimeZone{
    "GMT - 12:00"sv, "GMT - 11:00"sv, "GMT - 10:00"sv, "GMT - 09:00"sv, "GMT - 08:00"sv,
    "GMT - 07:00"sv, "GMT - 06:00"sv, "GMT - 05:00"sv, "GMT - 04:00"sv, "GMT - 03:00"sv,
    "GMT - 02:00"sv, "GMT - 01:00"sv, "GMT + 00:00"sv, "GMT + 01:00"sv, "GMT + 02:00"sv,
    "GMT + 03:00"sv, "GMT + 04:00"sv, "GMT + 05:00"sv, "GMT + 06:00"sv, "GMT + 07:00"sv,
    "GMT + 08:00"sv, "GMT + 09:00"sv, "GMT + 10:00"sv, "GMT + 11:00"sv, "GMT + 12:00"sv};
constexpr std::array kBacklight{"25%"sv, "50%"sv, "75%"sv, "100%"sv};
constexpr std::array kHideControls{"5 *s"sv,  "10 *s"sv, "15 *s"sv, "20 *s"sv,
                                   "30 *s"sv, "1 *m"sv,  "*N"sv};
constexpr std::array kDisplayOff{"15 *s"sv, "30 *s"sv, "1 *m"sv,  "2 *m"sv, "3 *m"sv, "5 *m"sv,
                                 "10 *m"sv, "20 *m"sv, "30 *m"sv, "1 *h"sv, "2 *h"sv, "*N"sv};
constexpr std::array kRecorderOff{"1 *m"sv,  "2 *m"sv, "3 *m"sv, "5 *m"sv, "10 *m"sv, "20 *m"sv,
                                  "30 *m"sv, "1 *h"sv, "2 *h"sv, "3 *h"sv, "5 *h"sv,  "*N"sv};
constexpr std::array kPowerMode{"*o"sv, "*e"sv, "*O"sv, "*A"sv, "*B"sv};
constexpr std::array kCameraVoltage{"5 *V"sv, "12 *V"sv};
constexpr std::array kOrientation{"*n"sv, "*M"sv, "*f"sv, "*g"sv};
constexpr std::array kColourSystem{"*A"sv, "PAL-M"sv, "PAL-B,G,H,I,N"sv, "NTSC"sv, "SECAM"sv};
constexpr std::array kRegionTabs{"*R 1"sv, "*R 2"sv, "*R 3"sv, "*R 4"sv};

// In the order of ChoiceListId.
const std::array<ChoiceList, kChoiceListCount> kLists{{
    {kRecordMode},   {kPrehistory},  {kTimerMode},    {kHoldTime},      {kVideoSource},
    {kFrameRate25},  {kFrameRate30}, {kVideoBitrate}, {kFrameSize},     {kAudioSource},
    {kAudioBitrate}, {kAudioMode},   {kTimeZone},     {kBacklight},     {kHideControls},
    {kDisplayOff},   {kRecorderOff}, {kPowerMode},    {kCameraVoltage}, {kOrientation},
    {kColourSystem}, {kRegionTabs},
}};

} // namespace

const ChoiceList &GetChoiceList(ChoiceListId id) {
  const int index = static_cast<int>(id);
  return kLists[index >= 0 && index < kChoiceListCount ? index : 0];
}

std::vector<std::string> ExpandChoiceList(const ChoiceList &list) {
  std::vector<std::string> out;
  out.reserve(list.items.size());
  for (std::string_view item : list.items)
    out.push_back(ExpandText(item.substr(0, kChoiceItemMaxLength)));
  return out;
}

ChoiceListId FrameRateListFor(int sourceIndex) {
  return sourceIndex == 1 ? ChoiceListId::FrameRate25 : ChoiceListId::FrameRate30;
}

} // namespace orvo
