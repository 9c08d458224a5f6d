#include "text/po_file.h"

#include <gettext-po.h>
#include <iconv.h>
#include <sys/mman.h>
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

// libgettextpo reports through plain C callbacks without a user pointer, so the reading in progress is
// reached through this one pointer; ReadPoFile sets it for the length of po_file_read.
struct Reading {
  std::string file;
  std::string readAs;  // the name libgettextpo was given, when it reads a copy of the file
  std::vector<std::string>* problems = nullptr;
  size_t listed = 0, unlisted = 0;  // problems listed, and found past kListedProblems
  bool failed = false;
  std::jmp_buf fatal;

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
};
thread_local Reading* current = nullptr;

void Report(int severity, const char* filename, size_t line, const char* text) {
  // The copy read byte by byte hides its header's charset on purpose (ReadFast).
  if (severity == PO_SEVERITY_WARNING && filename && filename == current->readAs && text &&
      std::string_view(text).starts_with("Charset missing in header"))
    return;
  std::string where = filename && filename != current->readAs ? filename : current->file;
  if (filename && line != static_cast<size_t>(-1) && line != 0) where += ":" + std::to_string(line);
  std::string message = text ? text : "";
  while (!message.empty() && message.back() == '\n') message.pop_back();
  for (char& c : message)
    if (c == '\n') c = ' ';
  current->Add(where + ": " + (severity == PO_SEVERITY_WARNING ? "warning: " : "") + message);
  if (severity != PO_SEVERITY_WARNING) current->failed = true;
}

void OnError(int severity, po_message_t, const char* filename, size_t line, size_t, int, const char* text) {
  Report(severity, filename, line, text);
  // The library must not get control back after a fatal error; what it allocated for the file is lost.
  if (severity == PO_SEVERITY_FATAL_ERROR) std::longjmp(current->fatal, 1);
}

void OnError2(int severity, po_message_t, const char* filename1, size_t line1, size_t, int, const char* text1,
              po_message_t, const char* filename2, size_t line2, size_t, int, const char* text2) {
  std::string text = std::string(text1 ? text1 : "");
  // The second place is where an earlier definition was; libgettextpo does not always know it.
  if (filename2 && line2 != 0 && line2 != static_cast<size_t>(-1))
    text += " (" + std::string(filename2) + ":" + std::to_string(line2) + ": " + (text2 ? text2 : "") + ")";
  Report(severity, filename1, line1, text.c_str());
  if (severity == PO_SEVERITY_FATAL_ERROR) std::longjmp(current->fatal, 1);
}

const po_xerror_handler kHandler = {OnError, OnError2};

struct PoFileCloser {
  void operator()(po_file_t f) const { po_file_free(f); }
};
struct IteratorCloser {
  void operator()(po_message_iterator_t it) const { po_message_iterator_free(it); }
};

// po_file_read in a function of its own, whose frame holds nothing a longjmp out of the library could skip.
po_file_t ReadWithHandler(const char* path, Reading& reading) {
  current = &reading;
  po_file_t file = nullptr;
  if (setjmp(reading.fatal) == 0) file = po_file_read(path, &kHandler);
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

// The lines out[from, to) made empty, each line kept as a line; returns where `to` is now.
size_t Blank(std::string& out, size_t from, size_t to) {
  const size_t lines = static_cast<size_t>(
      std::count(out.begin() + static_cast<ptrdiff_t>(from), out.begin() + static_cast<ptrdiff_t>(to), '\n'));
  out.replace(from, to - from, std::string(lines, '\n'));
  return from + lines;
}

// The file as libgettextpo is given it: the comments nothing here reads (the translator's, the extracted
// ones, source positions and previous strings; "#," flags stay) are emptied, and so are obsolete entries
// ("#~" lines, with the flags before them) unless `obsolete`, every line kept in its place, so the library
// reads and files less and still reports the file's own lines. An entry whose keywords and strings take
// more than kMaxPoEntryBytes is emptied too, flags and all, and reported at its first line: the library
// holds a string it reads in many times its size (a 50 MB msgstr took 4.7 GB), and no text of a game
// comes near that size.
std::string PreparedCopy(std::string_view bytes, bool obsolete, Reading& reading) {
  std::string out;
  out.reserve(bytes.size());
  // The flags met since the last line of an entry: where they start in `out`, and the lines since.
  size_t flagsAt = std::string::npos, linesSince = 0;
  // The entry being read: where its lines (the comments before it included) start in `out`, where its
  // last string ends, the bytes of its keyword and string lines, and the line it starts on.
  struct Open {
    size_t from = 0, to = 0, bytes = 0, line = 0;
    bool context = false;  // its last keyword was msgctxt, so a msgid continues it
  } entry;
  bool open = false;  // from the first string line on
  // Ends the entry being read; returns where the next one's lines start in `out`.
  const auto close = [&]() -> size_t {
    if (!open) return 0;  // the first entry: its lines start with the file
    if (entry.bytes <= kMaxPoEntryBytes) return entry.to;
    reading.Add(reading.file + ":" + std::to_string(entry.line) + ": warning: the entry takes " +
                std::to_string(entry.bytes) + " bytes, more than the " + std::to_string(kMaxPoEntryBytes) +
                " an entry may; it is left out");
    return Blank(out, entry.from, entry.to);
  };
  size_t number = 0;
  for (size_t start = 0; start < bytes.size();) {
    size_t end = bytes.find('\n', start);
    if (end == std::string_view::npos) end = bytes.size();
    const std::string_view line = bytes.substr(start, end - start);
    ++number;
    const bool flags = line.starts_with("#,"), old = line.starts_with("#~");
    if (old && !obsolete && flagsAt != std::string::npos) {
      // The flags are the obsolete entry's: emptied with it.
      out.resize(flagsAt);
      out.append(linesSince, '\n');
      flagsAt = std::string::npos;
    }
    if (flags && flagsAt == std::string::npos) flagsAt = out.size(), linesSince = 0;
    const bool comment = line.starts_with("#");
    if (!comment) flagsAt = std::string::npos;
    const bool kept = !comment || flags || (old && obsolete);
    // A keyword or string line (an obsolete one's "#~" taken off) belongs to the entry it opens or goes on.
    std::string_view content = WithoutBlanks(line);
    if (old && obsolete) content = WithoutBlanks(content.substr(2));
    const bool strings = (!comment || (old && obsolete)) && !content.empty();
    if (strings) {
      // Strings without a keyword before them count as an entry of their own, so they are bounded too.
      if (!open || Keyword(content, "msgctxt") || (Keyword(content, "msgid") && !entry.context)) {
        const size_t from = close();
        entry = {from, 0, 0, number, false};
        open = true;
      }
      entry.bytes += line.size();
      if (Keyword(content, "msgctxt")) entry.context = true;
      if (Keyword(content, "msgid")) entry.context = false;
    }
    if (kept) out.append(line);
    if (end < bytes.size()) {
      out.push_back('\n');
      ++linesSince;
    }
    if (strings) entry.to = out.size();
    start = end + 1;
  }
  close();
  return out;
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

// The header's "charset=" in the copy made unreadable, its length and lines kept, once the copy is UTF-8.
void HideCharset(std::string& copy) {
  const std::string_view header = Header(copy);
  const size_t at = header.find("charset=");
  if (at != std::string_view::npos) copy[static_cast<size_t>(header.data() - copy.data()) + at + 7] = ':';
}

// Reads the prepared copy of a file with libgettextpo, from memory and byte by byte: its lexer otherwise
// passes every character of the file through iconv, from UTF-8 to UTF-8, which is most of its time on a
// large file. The copy is UTF-8 (converted from the header's charset before), which the library reads
// byte by byte once the header names no charset (it then warns, and that warning is left out): every
// byte of a multibyte character is 0x80 or above, which such reading never mistakes. Nothing is returned,
// with the problem reported, when the copy cannot be handed over.
po_file_t ReadCopy(const std::string& copy, Reading& reading) {
  const int fd = memfd_create("mokuren-po", MFD_CLOEXEC);
  bool copied = fd >= 0;
  for (size_t done = 0; copied && done < copy.size();) {
    const ssize_t n = write(fd, copy.data() + done, copy.size() - done);
    copied = n > 0;
    done += copied ? static_cast<size_t>(n) : 0;
  }
  po_file_t file = nullptr;
  if (copied) {
    reading.readAs = "/proc/self/fd/" + std::to_string(fd);
    file = ReadWithHandler(reading.readAs.c_str(), reading);
  } else {
    reading.Add(reading.file + ": cannot be read (" + std::strerror(errno) + ")");
    reading.failed = true;
  }
  if (fd >= 0) close(fd);
  return file;
}

// The line each entry starts on, in the file's order: an entry starts at its msgctxt, or at its msgid
// when no msgctxt comes just before. Obsolete entries ("#~ msgid") count when `obsolete`; "#|" previous
// strings do not.
std::vector<size_t> EntryLines(std::string_view bytes, bool obsolete) {
  std::vector<size_t> lines;
  bool afterContext = false;
  size_t number = 0;
  for (size_t start = 0; start < bytes.size();) {
    size_t end = bytes.find('\n', start);
    if (end == std::string_view::npos) end = bytes.size();
    std::string_view line = bytes.substr(start, end - start);
    start = end + 1;
    ++number;
    auto skipBlanks = [&] {
      while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
    };
    skipBlanks();
    if (line.starts_with("#~") && obsolete) {
      line.remove_prefix(2);
      skipBlanks();
    } else if (line.starts_with("#")) {
      continue;
    }
    auto keyword = [&](std::string_view word) {
      return line.starts_with(word) && (line.size() == word.size() || line[word.size()] == ' ' ||
                                        line[word.size()] == '\t' || line[word.size()] == '"');
    };
    if (keyword("msgctxt")) {
      lines.push_back(number);
      afterContext = true;
    } else if (keyword("msgid")) {
      if (!afterContext) lines.push_back(number);
      afterContext = false;
    }
  }
  return lines;
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

}  // namespace

std::optional<std::string> ReadPoEntries(const std::filesystem::path& path, std::vector<std::string>& problems,
                                         const std::function<void(const PoEntryView&)>& entry, const std::string* known,
                                         bool obsolete) {
  const std::string shown = path.string();
  std::optional<std::string> read;
  if (!known) {
    PoBytes file = ReadPoBytes(path);
    if (!file.bytes) {
      problems.push_back(shown + ": " + DescribePoFault(file.fault, file.detail));
      return std::nullopt;
    }
    read = std::move(file.bytes);
  }
  const std::string& bytes = known ? *known : *read;
  if (bytes.size() > kMaxPoFileBytes) {
    problems.push_back(shown + ": " + DescribePoFault(PoFault::TooLarge, std::to_string(bytes.size())));
    return std::nullopt;
  }

  Reading reading;
  reading.file = shown;
  reading.problems = &problems;
  std::optional<std::string> language;
  // Whatever happens, the count of problems not listed comes last.
  struct Closer {
    Reading& r;
    ~Closer() { r.Close(); }
  } closer{reading};
  std::string copy = PreparedCopy(bytes, obsolete, reading);
  if (const std::string charset = HeaderCharset(Header(copy)); !IsUtf8Name(charset))
    if (!ConvertToUtf8(copy, charset, reading)) return std::nullopt;
  HideCharset(copy);
  std::unique_ptr<std::remove_pointer_t<po_file_t>, PoFileCloser> file(ReadCopy(copy, reading));
  if (!file) {
    if (!reading.failed) reading.Add(shown + ": cannot be read by libgettextpo");
    return std::nullopt;
  }
  if (reading.failed) return std::nullopt;

  const char* header = po_file_domain_header(file.get(), nullptr);
  language = HeaderField(header, "Language");
  const std::vector<size_t> lines = EntryLines(copy, obsolete);
  // The positions are only trusted when they were found for every entry.
  size_t count = 0;
  {
    std::unique_ptr<std::remove_pointer_t<po_message_iterator_t>, IteratorCloser> it(
        po_message_iterator(file.get(), nullptr));
    while (po_next_message(it.get())) ++count;
  }
  const bool placed = count == lines.size();
  std::unique_ptr<std::remove_pointer_t<po_message_iterator_t>, IteratorCloser> it(
      po_message_iterator(file.get(), nullptr));
  size_t index = 0;
  bool bad = false;
  while (po_message_t m = po_next_message(it.get())) {
    const size_t line = placed ? lines[index] : 0;
    ++index;
    const char* ctxt = po_message_msgctxt(m);
    const char* id = po_message_msgid(m);
    if (!ctxt && id[0] == '\0' && !po_message_is_obsolete(m)) continue;  // the header
    if (!obsolete && po_message_is_obsolete(m)) continue;
    PoEntryView e;
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
