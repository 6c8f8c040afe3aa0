#pragma once

#include <array>
#include <string_view>

// Texts the program shows beyond the original table of 318. They continue
// its numbering after the empty text 318 (which stays empty), so a language
// file carries them as STR319 and on like the others. New texts are added at
// the end, with a name here and a row in AddedTexts.cpp.
namespace orvo {

inline constexpr int FirstAddedTextId = 319;

namespace txt {
enum AddedText : int {
  // Outcome of a record's conversion.
  OutcomeConverted = FirstAddedTextId,
  OutcomeNotMarked,
  OutcomePartly,
  OutcomeFailed,
  OutcomeInterrupted,
  // What went wrong.
  ProblemFragmentUnreadable,
  ProblemFragmentDamaged,
  ProblemFragmentsMissing,
  ProblemOutputFailed,
  ProblemGpsCopyFailed,
  ProblemMarkFailed,
  DamageStructure,
  DamageNoTracks,
  DamageEmptyTrack,
  DamageZeroTimescale,
  DamageTimesNotIncreasing,
  DamageSampleOutsideFile,
  DamageSampleTooLarge,
  DamageTracksDiffer,
  MoreProblems,
  FilesWritten,
  RecordsNotConverted,
  ProblemVerifyFailed,
  PartTooShort,
  // The video file test and the comparison with the card.
  FileTestNoIntegrityData,
  FileTestCannotOpen,
  FileTestTooLarge,
  FileTestNotMp4,
  FileTestNoMovie,
  FileTestSampleUnreadable,
  FileTestIntegrityMalformed,
  FileTestTrackMismatch,
  FileTestCountMismatch,
  FileTestDigestMismatch,
  FileTestOutOfMemory,
  FileTestTrack,
  FileTestSample,
  FileTestSource,
  FileTestFragments,
  CompareAsk,
  CompareSame,
  CompareDiffers,
  CompareFailed,
  CompareNoRecord,
  CompareTrackMissing,
  CompareSampleMissing,
  CompareSampleLeftOver,
  CompareSampleDiffers,
  CompareFragmentsSkipped,
  // The main window and the setup dialog.
  VerifyOutputs,
  VerifyOutputsHint,
  MaskRecordNumber,
  FirstStartHint,
  RecordsShown,
  FilterShowAll,
  FilterShowAllHint,
  NothingChecked,
  RecordsToDelete,
  ProgressRecord,
  ProgressTimeLeft,
  ConvertedRowHint,
  QuitDuringJob,
  OpenFolderFailed,
  FirmwareDiskFolder,
  FirmwareCardFolder,
  DropFolderAsk,
  InputFolderChanged,
  AboutProgram,
  AboutVersion,
  AboutLicence,
  AboutSource,
  // The record file's numbers, names already taken, how a file plays.
  ProblemRecordRangeEmpty,
  ProblemRecordFileDisagrees,
  RecordCountVsRange,
  RecordFragmentsBeyondRange,
  NoteNameTaken,
  NameTakenOtherRecord,
  NameTakenForeign,
  NameTakenEarlierVersion,
  NoteEarlierSetKept,
  FileTestPlaybackChanged,
  PlaybackTracks,
  PlaybackMovieTimescale,
  PlaybackMovieDuration,
  PlaybackMovieDates,
  PlaybackMovieHeader,
  PlaybackTimescale,
  PlaybackDuration,
  PlaybackDimensions,
  PlaybackMatrix,
  PlaybackTrackDates,
  PlaybackCodecSetup,
  PlaybackEditList,
  PlaybackSampleSizes,
  PlaybackSampleTimes,
  PlaybackCompositionOffsets,
  PlaybackKeyFrames,
  FileTestTimingNotCovered,
  DamageSampleOutsideData,
  DamageSamplesOverlap,
  DamageEmptySample,
  RecordsUnreadable,
  UnreadableRow,
  OutputInsideInput,
  OutcomeColumn,
  ConvertSummary,
  Mp4FileFilter,
  AnyFileFilter,
  LicenceButton,
  NoRecordsIn,
  WrongFileSystemHint,
  CloseButton,
  NextScan,
  NextInsertCard,
  RecordFileShort,
  RecordFileSignature,
  RecordFileOtherRecord,

  // The GPS track.
  NoteGpsTrack,
  GpsPointsLeftOut,
  GpsInVideo,
  GpsInVideoEmbed,
  GpsInVideoBeside,
  GpsInVideoBoth,
  GpsInVideoNone,
  TrackPoints,
  TrackUtcStart,

  // The status bar while a job runs.
  DeletingIn,
  PreparingIn,

  // The player.
  PlayerTitle,
  PlayerOpening,
  PlayerCannotOpen,
  PlayerLeftOut,
  PlayerCannotPlay,
  PlayerPlay,
  PlayerPause,
  PlayerFrameBack,
  PlayerFrameForward,
  PlayerSpeed,
  PlayerMute,
  PlayerVolume,
  PlayerFullScreen,
  PlayerSnapshot,
  PlayerSnapshotSaved,
  PlayerSnapshotFailed,
  PlayerWaitForJob,
  PlayerPlayFile,
  PlayerRoute,
  PlayerSpeedChart,
  PlayerNoFrame,
  PlayerSegments,

  // Clips.
  ClipIn,
  ClipOut,
  ClipAround,
  ClipExport,
  ClipExactStart,
  ClipExactStartHint,
  ClipExporting,
  ClipSaved,
  ClipFailed,
  ClipCancelled,
  ClipAroundSetting,
  ClipOnlyRecords,
  ClipSetUpChanges,

  // Evidence packages.
  EvidenceExport,
  EvidenceExporting,
  EvidenceSaved,
  EvidenceFailed,

  AddedTextEnd // one past the last
};
} // namespace txt

inline constexpr int AddedTextCount = txt::AddedTextEnd - FirstAddedTextId;

struct AddedTextRow {
  std::string_view english;
  std::string_view russian;
};
extern const std::array<AddedTextRow, AddedTextCount> BuiltInAddedTexts;

} // namespace orvo
