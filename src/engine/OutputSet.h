#pragma once

#include "mp4/Integrity.h"
#include "platform/File.h"

#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace orvo {

class TMP4Container;

// A part finished and flushed under a temporary name, held open until it is
// put under its name.
struct StagedPart {
  std::string name; // the final name, without the folder
  platform::File file;
  bool committed = false; // under its name
};

// What tells a record's outputs from another's: its folder's name and the
// digest of its record file (RecordDigest).
struct RecordIdentity {
  std::string folder;
  Digest128 digest;
};

// What stands under an output name.
enum class NameState {
  Free,  // nothing
  Ours,  // a file this program wrote from the same record
  Taken, // anything else: another record's output, a file without our
         // integrity data, an earlier version's file, a link, a folder
};

// Where a record's set of parts will go: a base name such that every part
// name is free or the record's own, the record's own files with higher part
// numbers that the new set makes stale, and what was found in the way.
struct SetPlacement {
  std::string base;
  bool earlierSet = false; // the record's own files stand under this base
  std::vector<std::string> stale;
  std::string takenName; // the first name found taken, when the base moved
  int takenWhyTextId = 0;
};

// The output folder as one record's conversion sees it. A record's parts are
// only ever put under their names together: the renames and removals of a
// set are first written to a journal, so that a run killed half-way through
// is finished by the next (RecoverSwaps).
class TOutputFolder {
public:
  TOutputFolder(std::string folder, TMP4Container &reader);

  NameState Examine(const std::string &name, const RecordIdentity &id, int *whyTextId = nullptr);
  // Names "<base>_P<n>.mp4"; the suffixes tried in turn when a name is taken
  // are "_R<record number>", then "-2", "-3" after it. `used` holds the
  // bases of this job's earlier records.
  SetPlacement Place(const std::string &base, std::uint32_t recordNumber, std::uint32_t parts,
                     const RecordIdentity &id, const std::set<std::string> &used);
  // Renames the staged parts onto their names and removes the stale files.
  // False with the file and reason of the first failure; parts renamed
  // before it stay. The renames are made durable by Finish, once for all
  // that the record put into the folder.
  bool Commit(std::vector<StagedPart> &parts, const std::vector<std::string> &stale,
              const RecordIdentity &id, std::string &failedFile, std::string &error);
  // Flushes the folder's renames to the medium, then drops the journal of
  // the last Commit: a swap is complete on the disk before its journal goes.
  // False with the reason when the flush failed.
  bool Finish(std::string &error);
  // Finishes the swaps whose journal a killed run left behind.
  void RecoverSwaps();

  static std::string PartName(const std::string &base, std::uint32_t part);

private:
  bool WriteJournal(const std::string &path, const std::vector<StagedPart> &parts,
                    const std::vector<std::string> &stale, const RecordIdentity &id);
  void Replay(const std::string &journalPath);
  std::string folder_;
  TMP4Container &reader_;
  std::string journal_; // of the last Commit, until Finish
  platform::File journalLock_;
};

// The digest that, with the folder's name, tells a record's outputs from
// another's: its record file's 60 bytes with the marks byte taken as 0.
struct RecordEntry;
Digest128 RecordDigest(const RecordEntry &entry);

} // namespace orvo
