#include "engine/OutputSet.h"

#include "engine/RecordEntry.h"
#include "mp4/Mp4container.h"
#include "platform/Error.h"
#include "platform/FileSystem.h"
#include "settings/AddedTexts.h"

#include <cstdio>
#include <cstring>
#include <sstream>

namespace orvo {

namespace {

constexpr char kJournalPattern[] = ".orvo-????????????.swap";
constexpr char kJournalHead[] = "orvo output swap 1";

std::string Hex(const Digest128 &d) {
  std::string text;
  char two[3];
  for (std::uint8_t b : d.bytes) {
    std::snprintf(two, sizeof two, "%02x", b);
    text += two;
  }
  return text;
}

// Names go into the journal one per line, fields split by tabs: an output
// name holds neither (control characters become "_").
std::vector<std::string> Fields(const std::string &line) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  for (;;) {
    const std::size_t tab = line.find('\t', start);
    fields.push_back(line.substr(start, tab == std::string::npos ? tab : tab - start));
    if (tab == std::string::npos)
      return fields;
    start = tab + 1;
  }
}

bool PlainName(const std::string &name) {
  return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
         name.find('\\') == std::string::npos && name.find('\0') == std::string::npos;
}

} // namespace

Digest128 RecordDigest(const RecordEntry &entry) {
  RecordEntry copy = entry;
  copy.Marks = 0;
  return DigestOfBytes(&copy, sizeof copy);
}

TOutputFolder::TOutputFolder(std::string folder, TMP4Container &reader)
    : folder_(std::move(folder)), reader_(reader) {}

std::string TOutputFolder::PartName(const std::string &base, std::uint32_t part) {
  return base + "_P" + std::to_string(part) + ".mp4";
}

NameState TOutputFolder::Examine(const std::string &name, const RecordIdentity &id,
                                 int *whyTextId) {
  const std::string path = folder_ + name;
  if (!platform::EntryExists(path))
    return NameState::Free;
  int why = txt::NameTakenForeign;
  NameState state = NameState::Taken;
  IntegrityData data;
  if (platform::IsRegularFile(path) && reader_.OpenRead(path)) {
    if (reader_.GetIntegrity(data) == IntegrityStatus::Present) {
      if (data.version < 2)
        why = txt::NameTakenEarlierVersion;
      else if (data.recordFolder != id.folder || !(data.recordDigest == id.digest))
        why = txt::NameTakenOtherRecord;
      else
        state = NameState::Ours;
    }
    reader_.Close();
  }
  if (whyTextId && state == NameState::Taken)
    *whyTextId = why;
  return state;
}

SetPlacement TOutputFolder::Place(const std::string &base, std::uint32_t recordNumber,
                                  std::uint32_t parts, const RecordIdentity &id,
                                  const std::set<std::string> &used) {
  char suffix[32];
  std::snprintf(suffix, sizeof suffix, "_R%08u", recordNumber);
  SetPlacement placement;
  for (unsigned attempt = 0;; ++attempt) {
    std::string candidate = base;
    if (attempt > 0)
      candidate.append(suffix);
    if (attempt > 1)
      candidate.append(1, '-').append(std::to_string(attempt));
    if (used.count(candidate))
      continue;
    bool fits = true, earlier = false;
    for (std::uint32_t n = 0; fits && n < parts; ++n) {
      int why = 0;
      const NameState state = Examine(PartName(candidate, n), id, &why);
      if (state == NameState::Taken) {
        fits = false;
        if (placement.takenName.empty()) {
          placement.takenName = PartName(candidate, n);
          placement.takenWhyTextId = why;
        }
      }
      earlier = earlier || state == NameState::Ours;
    }
    if (!fits)
      continue;
    placement.base = candidate;
    // The record's own higher parts of an earlier, longer set; the first
    // name that is not the record's own ends them.
    for (std::uint32_t n = parts;; ++n) {
      const std::string name = PartName(candidate, n);
      if (Examine(name, id) != NameState::Ours)
        break;
      placement.stale.push_back(name);
    }
    placement.earlierSet = earlier || !placement.stale.empty();
    return placement;
  }
}

bool TOutputFolder::WriteJournal(const std::string &path, const std::vector<StagedPart> &parts,
                                 const std::vector<std::string> &stale,
                                 const RecordIdentity &id) {
  std::string text = kJournalHead;
  text.append("\n").append(id.folder).append("\t").append(Hex(id.digest)).append("\n");
  for (const StagedPart &p : parts) {
    const std::string &temp = p.file.TemporaryPath();
    text.append("R\t").append(temp, temp.find_last_of("/\\") + 1).append("\t");
    text.append(p.name).append("\n");
  }
  for (const std::string &name : stale)
    text.append("D\t").append(name).append("\n");
  text.append("end\n");
  return platform::WriteWholeFileAtomically(path, text);
}

bool TOutputFolder::Commit(std::vector<StagedPart> &parts, const std::vector<std::string> &stale,
                           const RecordIdentity &id, std::string &failedFile,
                           std::string &error) {
  // One rename alone is one step already; more need the journal.
  journal_.clear();
  if (parts.size() + stale.size() > 1 && !parts.empty()) {
    const std::string &temp = parts.front().file.TemporaryPath();
    journal_ = temp.substr(0, temp.size() - 4) + ".swap";
    if (!WriteJournal(journal_, parts, stale, id)) {
      failedFile = journal_;
      error = platform::LastErrorText();
      journal_.clear();
      return false;
    }
    // Held until the swap is on the disk, so another run's recovery leaves
    // it alone.
    journalLock_.OpenExisting(journal_);
  }
  bool ok = true;
  for (StagedPart &p : parts) {
    p.file.SetReplacementTarget(folder_ + p.name);
    if (ok && !p.file.CommitReplacement(false)) {
      failedFile = folder_ + p.name;
      error = platform::LastErrorText();
      ok = false;
    }
    p.committed = ok;
    p.file.Close();
  }
  for (const std::string &name : stale) {
    if (ok && !platform::DeleteFile(folder_ + name)) {
      failedFile = folder_ + name;
      error = platform::LastErrorText();
      ok = false;
    }
  }
  // A failure leaves the journal for the next run, which finishes what it
  // can of the swap.
  if (!ok) {
    journalLock_.Close();
    journal_.clear();
  }
  return ok;
}

bool TOutputFolder::Finish(std::string &error) {
  if (!platform::SyncFolder(folder_)) {
    error = platform::LastErrorText();
    journalLock_.Close();
    journal_.clear();
    return false;
  }
  // A journal left behind by a crash here only repeats steps already made.
  journalLock_.Close();
  if (!journal_.empty())
    platform::DeleteFile(journal_);
  journal_.clear();
  return true;
}

void TOutputFolder::RecoverSwaps() {
  std::vector<platform::DirEntry> journals;
  if (!platform::FindEntries(folder_, kJournalPattern, false, journals))
    return;
  for (const platform::DirEntry &e : journals) {
    if (!e.isDirectory)
      Replay(folder_ + e.name);
  }
}

// The journal is written whole before the first rename, so a complete one
// lists every step; each step is done again only where it is not done yet.
// A damaged journal is removed without a step: its temporaries then go as
// stale ones, and the earlier files stay.
void TOutputFolder::Replay(const std::string &journalPath) {
  // A journal its run still holds is a swap under way, not one left behind.
  platform::File journal;
  if (!journal.OpenExisting(journalPath))
    return;
  std::string text;
  const std::int64_t size = journal.Size();
  if (size > 0 && size <= (1 << 20)) {
    text.resize(static_cast<std::size_t>(size));
    if (journal.ReadAt(text.data(), text.size(), 0) != size)
      text.clear();
  }
  journal.Close();
  if (!text.empty()) {
    std::istringstream in(text);
    std::string line;
    std::vector<std::string> lines;
    while (std::getline(in, line))
      lines.push_back(line);
    bool whole = lines.size() >= 3 && lines.front() == kJournalHead && lines.back() == "end";
    RecordIdentity id;
    if (whole) {
      const auto head = Fields(lines[1]);
      whole = head.size() == 2;
      if (whole)
        id.folder = head[0];
      for (std::size_t i = 0; whole && i < 16; ++i) {
        unsigned byte = 0;
        whole = head[1].size() == 32 && std::sscanf(head[1].c_str() + 2 * i, "%2x", &byte) == 1;
        id.digest.bytes[i] = static_cast<std::uint8_t>(byte);
      }
    }
    for (std::size_t i = 2; whole && i + 1 < lines.size(); ++i) {
      const auto f = Fields(lines[i]);
      if (f.size() == 3 && f[0] == "R" && PlainName(f[1]) && PlainName(f[2])) {
        if (platform::IsRegularFile(folder_ + f[1]) &&
            Examine(f[2], id) != NameState::Taken) {
          // The temporary was flushed before the journal was written.
          platform::RenameOnto(folder_ + f[1], folder_ + f[2]);
        }
      } else if (f.size() == 2 && f[0] == "D" && PlainName(f[1])) {
        if (Examine(f[1], id) == NameState::Ours)
          platform::DeleteFile(folder_ + f[1]);
      }
    }
  }
  platform::SyncFolder(folder_);
  platform::DeleteFile(journalPath);
  platform::SyncFolder(folder_);
}

} // namespace orvo
