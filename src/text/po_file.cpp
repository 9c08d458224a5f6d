#include "text/po_file.h"

#include <gettext-po.h>
#include <iconv.h>
#include <sys/mman.h>
#include <sys/types.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string_view>
#include <type_traits>

#include "text/translation_cache.h"
#include "text/translation_file.h"

// libgettextpo (0.21) does not free all it allocates: the string of every msgctxt its grammar reads,
// and, when a file makes it give up (a fatal error, after which it must not get control back), the
// lexer's state. Such allocations are the library's own and happen at most once per file read; the leak
// checker of sanitizer builds is told to ignore allocations made inside that library, and only those.
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define MOKUREN_LEAK_CHECKED 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) || defined(MOKUREN_LEAK_CHECKED)
extern "C" const char* __lsan_default_suppressions() { return "leak:libgettextpo.so\n"; }
// Without the summary of suppressions used at exit, which would end up in the output the tools' tests read.
extern "C" const char* __lsan_default_options() { return "print_suppressions=0"; }
#endif

namespace mokuren {

namespace {

// Entries handed to libgettextpo at a time: it keeps everything of a file it reads, several hundred bytes
// an entry besides its strings, so a file of a million small entries is read in pieces of this many.
constexpr size_t kChunkEntries = 8192;

// libgettextpo reports through plain C callbacks without a user pointer, so the reading in progress is
// reached through this one pointer; ReadWithHandler sets it for the length of po_file_read.
struct Reading {
  std::string file;
  std::string readAs;     // the name libgettextpo was given for the piece of the file it reads
  size_t lineOffset = 0;  // lines of the file before that piece
  std::vector<std::string>* problems = nullptr;
  size_t listed = 0, unlisted = 0;  // problems listed, and found past kListedPoProblems
  bool failed = false;
  bool fatal = false;
  std::jmp_buf escape;

  // Lists a problem, as msgfmt does only the first ones: a file of random bytes holds tens of thousands.
  void Add(std::string problem) {
    if (listed < kListedPoProblems) {
      problems->push_back(std::move(problem));
      ++listed;
    } else {
      ++unlisted;
    }
  }
  // The count of problems not listed, once reading is over.
  void Close() {
    if (unlisted == 0) return;
    problems->push_back(file + ": " + std::to_string(unlisted) + " more problems are not listed (" +
                        std::to_string(listed + unlisted) + " in all)");
    unlisted = 0;
  }
  // "FILE:LINE" for a place libgettextpo names: lines of the piece it reads are the file's, moved down.
  std::string Where(const char* filename, size_t line) const {
    const bool piece = filename && filename == readAs;
    std::string where = filename && !piece ? filename : file;
    if (filename && line != static_cast<size_t>(-1) && line != 0)
      where += ":" + std::to_string(piece ? line + lineOffset : line);
    return where;
  }
};
thread_local Reading* current = nullptr;

void Report(int severity, const char* filename, size_t line, const char* text) {
  // The pieces, read byte by byte, hide the header's charset on purpose (ReadCopy).
  if (severity == PO_SEVERITY_WARNING && filename && filename == current->readAs && text &&
      std::string_view(text).starts_with("Charset missing in header"))
    return;
  std::string message = text ? text : "";
  while (!message.empty() && message.back() == '\n') message.pop_back();
  for (char& c : message)
    if (c == '\n') c = ' ';
  current->Add(current->Where(filename, line) + ": " + (severity == PO_SEVERITY_WARNING ? "warning: " : "") + message);
  if (severity != PO_SEVERITY_WARNING) current->failed = true;
}

void OnError(int severity, po_message_t, const char* filename, size_t line, size_t, int, const char* text) {
  Report(severity, filename, line, text);
  // The library must not get control back after a fatal error; what it allocated for the file is lost.
  if (severity == PO_SEVERITY_FATAL_ERROR) {
    current->fatal = true;
    std::longjmp(current->escape, 1);
  }
}

void OnError2(int severity, po_message_t, const char* filename1, size_t line1, size_t, int, const char* text1,
              po_message_t, const char* filename2, size_t line2, size_t, int, const char* text2) {
  std::string text = std::string(text1 ? text1 : "");
  // The second place is where an earlier definition was; libgettextpo does not always know it.
  if (filename2 && line2 != 0 && line2 != static_cast<size_t>(-1))
    text += " (" + current->Where(filename2, line2) + ": " + (text2 ? text2 : "") + ")";
  Report(severity, filename1, line1, text.c_str());
  if (severity == PO_SEVERITY_FATAL_ERROR) {
    current->fatal = true;
    std::longjmp(current->escape, 1);
  }
}

const po_xerror_handler kHandler = {OnError, OnError2};

struct PoFileCloser {
  void operator()(po_file_t f) const { po_file_free(f); }
};
struct IteratorCloser {
  void operator()(po_message_iterator_t it) const { po_message_iterator_free(it); }
};
using PoFileHandle = std::unique_ptr<std::remove_pointer_t<po_file_t>, PoFileCloser>;
using IteratorHandle = std::unique_ptr<std::remove_pointer_t<po_message_iterator_t>, IteratorCloser>;

// po_file_read in a function of its own, whose frame holds nothing a longjmp out of the library could skip.
po_file_t ReadWithHandler(const char* path, Reading& reading) {
  current = &reading;
  po_file_t file = nullptr;
  if (setjmp(reading.escape) == 0) file = po_file_read(path, &kHandler);
  current = nullptr;
  return file;
}

// Whether a line (blanks before it removed) starts with the keyword `word` ("msgid" is not "msgid_plural").
bool Keyword(std::string_view line, std::string_view word) {
  return line.starts_with(word) && (line.size() == word.size() || line[word.size()] == ' ' ||
                                    line[word.size()] == '\t' || line[word.size()] == '"');
}

std::string_view WithoutBlanks(std::string_view line) {
  while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
  return line;
}

// The keyword or string a line holds, an obsolete one's "#~" taken off when `obsolete`; empty for a
// comment, a blank line, or an obsolete line when obsolete entries are left out.
std::string_view Content(std::string_view line, bool obsolete) {
  if (line.starts_with("#~") && obsolete) return WithoutBlanks(WithoutBlanks(line).substr(2));
  if (line.starts_with("#")) return {};
  return WithoutBlanks(line);
}

// Empties the lines buf[from, to), each kept as a line; returns where `to` is now.
size_t Blank(std::string& buf, size_t from, size_t to) {
  const size_t lines = static_cast<size_t>(
      std::count(buf.begin() + static_cast<ptrdiff_t>(from), buf.begin() + static_cast<ptrdiff_t>(to), '\n'));
  std::fill_n(buf.begin() + static_cast<ptrdiff_t>(from), lines, '\n');
  buf.erase(from + lines, to - from - lines);
  return from + lines;
}

// Makes the file into what libgettextpo is given, in place: the comments nothing here reads (the
// translator's, the extracted ones, source positions and previous strings; "#," flags stay) are emptied,
// and so are obsolete entries ("#~" lines, with the flags before them) unless `obsolete`, every line kept
// in its place, so the library reads and files less and still reports the file's own lines. An entry whose
// keywords and strings take more than kMaxPoEntryBytes is emptied too, flags and all, and reported at its
// first line: the library holds a string it reads in many times its size (a 50 MB msgstr took 4.7 GB),
// and no text of a game comes near that size.
void Prepare(std::string& buf, bool obsolete, Reading& reading) {
  size_t w = 0;  // what is kept so far is buf[0, w); nothing kept is longer than what it came from
  // The flags met since the last line of an entry: where they start, and the lines since.
  size_t flagsAt = std::string::npos, linesSince = 0;
  // The entry being read: where its lines (the comments before it included) start, where its last string
  // ends, the bytes of its keyword and string lines, and the line it starts on.
  struct Open {
    size_t from = 0, to = 0, bytes = 0, line = 0;
    bool context = false;  // its last keyword was msgctxt, so a msgid continues it
  } entry;
  bool open = false;  // from the first string line on
  // Ends the entry being read; returns where the next one's lines start.
  const auto close = [&]() -> size_t {
    if (!open) return 0;  // the first entry: its lines start with the file
    if (entry.bytes <= kMaxPoEntryBytes) return entry.to;
    reading.Add(reading.file + ":" + std::to_string(entry.line) + ": warning: the entry takes " +
                std::to_string(entry.bytes) + " bytes, more than the " + std::to_string(kMaxPoEntryBytes) +
                " an entry may; it is left out");
    // buf[entry.to, w) holds the comments since, which move up with everything after them.
    const size_t after = w - entry.to;
    const size_t to = Blank(buf, entry.from, entry.to);
    w = to + after;
    return to;
  };
  size_t number = 0;
  const size_t size = buf.size();
  for (size_t start = 0; start < size;) {
    size_t end = buf.find('\n', start);
    if (end == std::string::npos) end = size;
    const size_t length = end - start;
    ++number;
    const std::string_view line(buf.data() + start, length);
    const bool flags = line.starts_with("#,"), old = line.starts_with("#~");
    if (old && !obsolete && flagsAt != std::string::npos) {
      // The flags are the obsolete entry's: emptied with it.
      w = flagsAt;
      std::fill_n(buf.begin() + static_cast<ptrdiff_t>(w), linesSince, '\n');
      w += linesSince;
      flagsAt = std::string::npos;
    }
    if (flags && flagsAt == std::string::npos) flagsAt = w, linesSince = 0;
    const bool comment = line.starts_with("#");
    if (!comment) flagsAt = std::string::npos;
    const bool kept = !comment || flags || (old && obsolete);
    const std::string_view content = Content(line, obsolete);
    const bool strings = !content.empty();
    if (strings) {
      // Strings without a keyword before them count as an entry of their own, so they are bounded too.
      if (!open || Keyword(content, "msgctxt") || (Keyword(content, "msgid") && !entry.context)) {
        const size_t from = close();
        entry = {from, 0, 0, number, false};
        open = true;
      }
      entry.bytes += length;
      if (Keyword(content, "msgctxt")) entry.context = true;
      if (Keyword(content, "msgid")) entry.context = false;
    }
    if (kept) {
      // `line` views buf[start, end); w <= start, so the move never overtakes what it reads.
      if (w != start) std::memmove(buf.data() + w, buf.data() + start, length);
      w += length;
    }
    if (end < size) {
      buf[w++] = '\n';
      ++linesSince;
    }
    if (strings) entry.to = w;
    start = end + 1;
  }
  close();
  buf.resize(w);
}

// The header in the copy: from its msgid "" line, which comes first but for the blank lines left by comments
// and its "#," flags, to the blank line after it; empty when the copy does not start with one.
std::string_view Header(std::string_view copy) {
  size_t start = 0;
  while (start < copy.size() && (copy[start] == '\n' || copy.substr(start).starts_with("#,"))) {
    const size_t end = copy.find('\n', start);
    start = end == std::string_view::npos ? copy.size() : end + 1;
  }
  if (!copy.substr(start).starts_with("msgid \"\"")) return {};
  return copy.substr(start, copy.find("\n\n", start) - start);
}

// The charset the header's Content-Type names ("charset=ISO-8859-1"); "" for none or the template's "CHARSET".
std::string HeaderCharset(std::string_view header) {
  const size_t at = header.find("charset=");
  if (at == std::string_view::npos) return {};
  std::string charset;
  for (size_t i = at + 8; i < header.size(); ++i) {
    const char c = header[i];
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '-' && c != '_' && c != '.' && c != ':') break;
    charset.push_back(c);
  }
  return charset == "CHARSET" ? std::string() : charset;
}

bool IsUtf8Name(std::string charset) {
  for (char& c : charset) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return charset.empty() || charset == "UTF-8" || charset == "UTF8" || charset == "ASCII" || charset == "US-ASCII";
}

// The copy converted from `charset` to UTF-8 as a whole: the grammar's characters are ASCII in every
// charset gettext reads, so lines and entries stay where they were. False when the charset is unknown or
// the text is not in it (reported at the line it fails on).
bool ConvertToUtf8(std::string& copy, const std::string& charset, Reading& reading) {
  const iconv_t cd = iconv_open("UTF-8", charset.c_str());
  if (cd == reinterpret_cast<iconv_t>(-1)) {
    reading.Add(reading.file + ": the charset \"" + charset +
                "\" is unknown; convert the file to UTF-8 (msgconv --to-code=UTF-8)");
    return false;
  }
  std::string out(copy.size() * 4 + 4, '\0');
  char* in = copy.data();
  size_t inLeft = copy.size();
  char* dst = out.data();
  size_t outLeft = out.size();
  const bool done = iconv(cd, &in, &inLeft, &dst, &outLeft) != static_cast<size_t>(-1);
  iconv_close(cd);
  if (!done) {
    const size_t line = 1 + static_cast<size_t>(std::count(copy.data(), in, '\n'));
    reading.Add(reading.file + ":" + std::to_string(line) + ": the text is not in the charset " + charset +
                " the header declares");
    return false;
  }
  out.resize(out.size() - outLeft);
  copy = std::move(out);
  return true;
}

// The header's "charset=" made unreadable, its length and lines kept, once the copy is UTF-8.
void HideCharset(std::string& copy) {
  const std::string_view header = Header(copy);
  const size_t at = header.find("charset=");
  if (at != std::string_view::npos) copy[static_cast<size_t>(header.data() - copy.data()) + at + 7] = ':';
}

// Where each entry starts in the copy: `from` its lines (the "#," flags before it included), `line` the
// line of its msgctxt, or of its msgid when no msgctxt comes just before. Obsolete entries ("#~ msgid")
// count when `obsolete`; "#|" previous strings do not.
struct EntryStart {
  size_t from = 0;
  size_t line = 0;
};
std::vector<EntryStart> EntryStarts(std::string_view copy, bool obsolete) {
  std::vector<EntryStart> starts;
  bool afterContext = false;
  size_t number = 0, flagsAt = std::string_view::npos;
  for (size_t start = 0; start < copy.size();) {
    size_t end = copy.find('\n', start);
    if (end == std::string_view::npos) end = copy.size();
    const std::string_view line = copy.substr(start, end - start);
    ++number;
    const std::string_view content = Content(line, obsolete);
    if (line.starts_with("#,")) {
      if (flagsAt == std::string_view::npos) flagsAt = start;
    } else if (!content.empty()) {
      if (Keyword(content, "msgctxt") || (Keyword(content, "msgid") && !afterContext))
        starts.push_back({flagsAt != std::string_view::npos ? flagsAt : start, number});
      if (Keyword(content, "msgctxt")) afterContext = true;
      if (Keyword(content, "msgid")) afterContext = false;
      flagsAt = std::string_view::npos;
    }
    start = end + 1;
  }
  return starts;
}

// Reads a piece of the prepared copy with libgettextpo, from memory and byte by byte: its lexer otherwise
// passes every character through iconv, from UTF-8 to UTF-8, which is most of its time on a large file.
// The copy is UTF-8 (converted from the header's charset before), which the library reads byte by byte
// once the header names no charset (it then warns, and that warning is left out): every byte of a
// multibyte character is 0x80 or above, which such reading never mistakes. `fd` is the memory file the
// pieces are written to in turn.
po_file_t ReadPiece(int fd, std::string_view piece, Reading& reading) {
  bool copied = ::ftruncate(fd, 0) == 0 && ::lseek(fd, 0, SEEK_SET) == 0;
  for (size_t done = 0; copied && done < piece.size();) {
    const ssize_t n = ::write(fd, piece.data() + done, piece.size() - done);
    copied = n > 0;
    done += copied ? static_cast<size_t>(n) : 0;
  }
  if (!copied) {
    reading.Add(reading.file + ": cannot be read (" + std::strerror(errno) + ")");
    reading.failed = true;
    return nullptr;
  }
  return ReadWithHandler(reading.readAs.c_str(), reading);
}

bool ValidUtf8(std::string_view s) {
  for (size_t i = 0; i < s.size();) {
    const auto b = static_cast<unsigned char>(s[i]);
    size_t len = b < 0x80 ? 1 : (b & 0xE0) == 0xC0 ? 2 : (b & 0xF0) == 0xE0 ? 3 : (b & 0xF8) == 0xF0 ? 4 : 0;
    if (len == 0 || i + len > s.size() || (len == 2 && b < 0xC2)) return false;
    for (size_t k = 1; k < len; ++k)
      if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
    i += len;
  }
  return true;
}

// The value of a header field ("Language: fr\n"), empty when absent.
std::string HeaderField(const char* header, const char* name) {
  if (!header) return {};
  std::unique_ptr<char, decltype(&std::free)> value(po_header_field(header, name), &std::free);
  return value ? std::string(value.get()) : std::string();
}

// An entry's key as the duplicates are found by: two entries are the same when context (or none) and
// msgid are.
uint64_t EntryKeyHash(const char* ctxt, const char* id) {
  std::string key = ctxt ? std::string("c") + ctxt : std::string("n");
  key.push_back('\4');
  key.append(id);
  return ContentHash(key);
}

}  // namespace

std::optional<std::string> ReadPoEntries(const std::filesystem::path& path, std::vector<std::string>& problems,
                                         const std::function<void(const PoEntryView&)>& entry, std::string* given,
                                         bool obsolete) {
  const std::string shown = path.string();
  std::string bytes;
  if (given) {
    bytes = std::move(*given);
  } else {
    PoBytes file = ReadPoBytes(path);
    if (!file.bytes) {
      problems.push_back(shown + ": " + DescribePoFault(file.fault, file.detail));
      return std::nullopt;
    }
    bytes = std::move(*file.bytes);
  }
  if (bytes.size() > kMaxPoFileBytes) {
    problems.push_back(shown + ": " + DescribePoFault(PoFault::TooLarge, std::to_string(bytes.size())));
    return std::nullopt;
  }

  Reading reading;
  reading.file = shown;
  reading.problems = &problems;
  // Whatever happens, the count of problems not listed comes last.
  struct Closer {
    Reading& r;
    ~Closer() { r.Close(); }
  } closer{reading};
  Prepare(bytes, obsolete, reading);
  if (const std::string charset = HeaderCharset(Header(bytes)); !IsUtf8Name(charset))
    if (!ConvertToUtf8(bytes, charset, reading)) return std::nullopt;
  HideCharset(bytes);
  const std::vector<EntryStart> starts = EntryStarts(bytes, obsolete);

  const int fd = ::memfd_create("mokuren-po", MFD_CLOEXEC);
  if (fd < 0) {
    reading.Add(shown + ": cannot be read (" + std::strerror(errno) + ")");
    return std::nullopt;
  }
  struct FdCloser {
    int fd;
    ~FdCloser() { ::close(fd); }
  } fdCloser{fd};
  reading.readAs = "/proc/self/fd/" + std::to_string(fd);

  std::optional<std::string> language;
  // Every entry's key, line and piece, for the duplicates libgettextpo cannot see across pieces.
  struct Seen {
    uint64_t key;
    uint32_t line, piece;
  };
  std::vector<Seen> seen;
  bool bad = false;
  const size_t pieces = std::max<size_t>(1, (starts.size() + kChunkEntries - 1) / kChunkEntries);
  size_t lineOffset = 0, lineCountedTo = 0;
  for (size_t p = 0; p < pieces && !reading.fatal; ++p) {
    const size_t first = p * kChunkEntries, last = std::min(starts.size(), first + kChunkEntries);
    const size_t from = p == 0 ? 0 : starts[first].from;
    const size_t to = last < starts.size() ? starts[last].from : bytes.size();
    lineOffset += static_cast<size_t>(std::count(bytes.begin() + static_cast<ptrdiff_t>(lineCountedTo),
                                                 bytes.begin() + static_cast<ptrdiff_t>(from), '\n'));
    lineCountedTo = from;
    reading.lineOffset = lineOffset;
    PoFileHandle file(ReadPiece(fd, std::string_view(bytes).substr(from, to - from), reading));
    if (!file) {
      if (!reading.failed) reading.Add(shown + ": cannot be read by libgettextpo");
      return std::nullopt;
    }
    if (p == 0) language = HeaderField(po_file_domain_header(file.get(), nullptr), "Language");
    if (reading.failed) continue;  // the rest is read for its problems
    // The entries' lines are trusted only when one was found for every entry libgettextpo read.
    size_t count = 0;
    {
      IteratorHandle it(po_message_iterator(file.get(), nullptr));
      while (po_next_message(it.get())) ++count;
    }
    const bool placed = count == last - first;
    IteratorHandle it(po_message_iterator(file.get(), nullptr));
    size_t index = first;
    while (po_message_t m = po_next_message(it.get())) {
      const size_t line = placed ? starts[index].line : 0;
      ++index;
      const char* ctxt = po_message_msgctxt(m);
      const char* id = po_message_msgid(m);
      if (!ctxt && id[0] == '\0' && !po_message_is_obsolete(m)) continue;  // the header
      if (!obsolete && po_message_is_obsolete(m)) continue;
      if (!po_message_is_obsolete(m))
        seen.push_back({EntryKeyHash(ctxt, id), static_cast<uint32_t>(line), static_cast<uint32_t>(p)});
      PoEntryView e;
      e.language = *language;
      e.hasContext = ctxt != nullptr;
      e.context = ctxt ? ctxt : "";
      e.msgid = id;
      e.plural = po_message_msgid_plural(m) != nullptr;
      const char* str = e.plural ? po_message_msgstr_plural(m, 0) : po_message_msgstr(m);
      e.msgstr = str ? str : "";
      e.fuzzy = po_message_is_fuzzy(m) != 0;
      e.obsolete = po_message_is_obsolete(m) != 0;
      e.line = line;
      if (!ValidUtf8(e.context) || !ValidUtf8(e.msgid) || !ValidUtf8(e.msgstr)) {
        reading.Add(shown + (line ? ":" + std::to_string(line) : std::string()) +
                    ": the text is not valid UTF-8 (declare the file's charset in its header)");
        bad = true;
      }
      if (!bad) entry(e);
    }
  }
  if (reading.failed || bad) return std::nullopt;
  // Duplicates within a piece libgettextpo reported; those in two pieces are found here.
  std::sort(seen.begin(), seen.end(),
            [](const Seen& a, const Seen& b) { return a.key != b.key ? a.key < b.key : a.line < b.line; });
  for (size_t i = 1; i < seen.size(); ++i)
    if (seen[i].key == seen[i - 1].key && seen[i].piece != seen[i - 1].piece) {
      reading.Add(shown + ":" + std::to_string(seen[i].line) + ": duplicate message definition (" + shown + ":" +
                  std::to_string(seen[i - 1].line) + ": this is the location of the first definition)");
      bad = true;
    }
  if (bad) return std::nullopt;
  return language;
}

std::optional<PoFile> ReadPoFile(const std::filesystem::path& path, std::vector<std::string>& problems) {
  PoFile po;
  const std::optional<std::string> language = ReadPoEntries(path, problems, [&](const PoEntryView& e) {
    po.entries.push_back({std::string(e.context), e.hasContext, std::string(e.msgid), std::string(e.msgstr), e.fuzzy,
                          e.obsolete, e.plural, e.line});
  });
  if (!language) return std::nullopt;
  po.language = *language;
  return po;
}

}  // namespace mokuren
