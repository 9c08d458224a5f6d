// Reading a gettext PO file through libgettextpo, the library that gettext's own tools (msgmerge, msgfmt)
// use: its grammar, escapes, plural, fuzzy and obsolete entries are exactly theirs. The entries come out
// in the order of the file, in UTF-8 whatever charset the header declares, with the line each starts on.
#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mokuren {

struct PoEntry {
  std::string context;  // msgctxt; empty when the entry has none (hasContext tells "" from none)
  bool hasContext = false;
  std::string msgid;
  std::string msgstr;  // empty when untranslated; the first form of a plural entry
  bool fuzzy = false;
  bool obsolete = false;  // "#~" entries, which msgmerge keeps for texts the template no longer has
  bool plural = false;    // msgid_plural: the game has no such texts
  size_t line = 0;        // the line of the file the entry starts on (its msgctxt or msgid), 0 when unknown
};

struct PoFile {
  std::string language;          // the header's "Language:" field, empty when it has none
  std::vector<PoEntry> entries;  // every entry but the header, in the file's order
};

// One entry as ReadPoEntries hands it over: the texts stay valid only for the length of the call.
struct PoEntryView {
  std::string_view language;  // the header's "Language:", the same for every entry of the file
  std::string_view context;
  bool hasContext = false;
  std::string_view msgid;
  std::string_view msgstr;
  bool fuzzy = false;
  bool obsolete = false;
  bool plural = false;
  size_t line = 0;
};

// Reads the file. Every problem is added to `problems` as "FILE:LINE: message" (or "FILE: message"), in
// the order found, the first kListedPoProblems of them and then their count (translation_file.h); an entry
// over kMaxPoEntryBytes is left out with a warning at its line. The file is handed to libgettextpo in
// pieces of a few thousand entries, so that what the library keeps of it stays small. Returns nothing when the file
// cannot be read or libgettextpo reports an error in it (a syntax error, a duplicate entry, an unknown charset); its
// warnings alone do not stop it. Not thread-safe: libgettextpo keeps its reading state in globals.
std::optional<PoFile> ReadPoFile(const std::filesystem::path& path, std::vector<std::string>& problems);

// The same, without a copy of every entry: each is handed to `entry` as it is read, and the header's
// "Language:" is returned. `bytes`, when given, are the file's contents, already read; they are used up
// (the copy libgettextpo reads is made in their place). Without `obsolete`,
// obsolete entries are neither read nor handed over, which is quicker on a file that has many, and a
// mistake in one of them is not reported. When nothing is returned, entries handed over before the problem
// was found are not to be used.
std::optional<std::string> ReadPoEntries(const std::filesystem::path& path, std::vector<std::string>& problems,
                                         const std::function<void(const PoEntryView&)>& entry,
                                         std::string* bytes = nullptr, bool obsolete = true);

}  // namespace mokuren
