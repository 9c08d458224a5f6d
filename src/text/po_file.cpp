#include "text/po_file.h"

#include <gettext-po.h>
#include <iconv.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cctype>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string_view>
#include <type_traits>

#include "text/translation_cache.h"

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
  std::string readAs;            // the name libgettextpo was given, when it reads a copy of the file
  bool obsoleteLeftOut = false;  // the copy it reads has no obsolete entries
  std::vector<std::string>* problems = nullptr;
  bool failed = false;
  std::jmp_buf fatal;
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
  current->problems->push_back(where + ": " + (severity == PO_SEVERITY_WARNING ? "warning: " : "") + message);
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

// The file as libgettextpo is given it: the comments nothing here reads (the translator's, the extracted
// ones, source positions and previous strings; "#," flags stay) are emptied, and so are obsolete entries
// ("#~" lines, with the flags before them) unless `obsolete`, every line kept in its place, so the library
// reads and files less and still reports the file's own lines.
std::string WithoutComments(std::string_view bytes, bool obsolete) {
  std::string out;
  out.reserve(bytes.size());
  // The flags met since the last line of an entry: where they start in `out`, and the lines since.
  size_t flagsAt = std::string::npos, linesSince = 0;
  for (size_t start = 0; start < bytes.size();) {
    size_t end = bytes.find('\n', start);
    if (end == std::string_view::npos) end = bytes.size();
    const std::string_view line = bytes.substr(start, end - start);
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
    if (!comment || flags || (old && obsolete)) out.append(line);
    if (end < bytes.size()) {
      out.push_back('\n');
      ++linesSince;
    }
    start = end + 1;
  }
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

// Whether the header declares UTF-8.
bool HeaderSaysUtf8(std::string_view header) {
  std::string lower(header);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower.find("charset=utf-8") != std::string::npos || lower.find("charset=utf8") != std::string::npos;
}

// The header's "charset=" in a copy of the file made unreadable, its length and lines kept: false when the
// copy's header does not declare UTF-8.
bool HideCharset(std::string& copy) {
  const std::string_view header = Header(copy);
  if (!HeaderSaysUtf8(header)) return false;
  const size_t at = header.find("charset=");
  if (at == std::string_view::npos) return false;
  copy[static_cast<size_t>(header.data() - copy.data()) + at + 7] = ':';
  return true;
}

// Reads `bytes` (the file `path`) with libgettextpo. A UTF-8 file is given to it without its comments, in
// memory, and read byte by byte: its lexer otherwise passes every character of the file through iconv, from
// UTF-8 to UTF-8, which is most of its time on a large file. The bytes are checked as UTF-8 here instead.
// The library reads byte by byte a file whose header names no charset (it then warns, and that warning is
// left out); a UTF-8 file holds no byte that such reading mistakes, every byte of a multibyte character
// being 0x80 or above. Without `obsolete`, the copy leaves obsolete entries out.
po_file_t ReadFast(const std::string& path, std::string_view bytes, bool obsolete, Reading& reading) {
  std::string copy = WithoutComments(bytes, obsolete);
  if (!HideCharset(copy)) return ReadWithHandler(path.c_str(), reading);
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
    reading.obsoleteLeftOut = !obsolete;
    file = ReadWithHandler(reading.readAs.c_str(), reading);
  } else {
    file = ReadWithHandler(path.c_str(), reading);
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

// The charset of a "Content-Type: text/plain; charset=X" field; "" for none or the template's "CHARSET".
std::string Charset(const std::string& contentType) {
  const size_t at = contentType.find("charset=");
  if (at == std::string::npos) return {};
  std::string charset = contentType.substr(at + 8);
  charset = charset.substr(0, charset.find_first_of(" ;\t"));
  return charset == "CHARSET" ? std::string() : charset;
}

bool IsUtf8Name(std::string charset) {
  for (char& c : charset) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return charset.empty() || charset == "UTF-8" || charset == "UTF8" || charset == "ASCII" || charset == "US-ASCII";
}

class Converter {
 public:
  explicit Converter(const std::string& charset) : cd_(iconv_open("UTF-8", charset.c_str())) {}
  ~Converter() {
    if (ok()) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;
  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
  bool Convert(std::string& s) {
    std::string out(s.size() * 4 + 4, '\0');
    char* in = s.data();
    size_t inLeft = s.size();
    char* dst = out.data();
    size_t outLeft = out.size();
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd_, &in, &inLeft, &dst, &outLeft) == static_cast<size_t>(-1)) return false;
    out.resize(out.size() - outLeft);
    s = std::move(out);
    return true;
  }

 private:
  iconv_t cd_;
};

}  // namespace

std::optional<std::string> ReadPoEntries(const std::filesystem::path& path, std::vector<std::string>& problems,
                                         const std::function<void(const PoEntryView&)>& entry, const std::string* known,
                                         bool obsolete) {
  const std::string shown = path.string();
  std::optional<std::string> read;
  if (!known) {
    read = ReadFileBytes(path);
    if (!read) {
      problems.push_back(shown + ": cannot be read (" + std::strerror(errno) + ")");
      return std::nullopt;
    }
  }
  const std::string& bytes = known ? *known : *read;

  Reading reading;
  reading.file = shown;
  reading.problems = &problems;
  std::unique_ptr<std::remove_pointer_t<po_file_t>, PoFileCloser> file(ReadFast(shown, bytes, obsolete, reading));
  if (!file) {
    if (!reading.failed) problems.push_back(shown + ": cannot be read by libgettextpo");
    return std::nullopt;
  }
  if (reading.failed) return std::nullopt;

  const char* header = po_file_domain_header(file.get(), nullptr);
  std::string language = HeaderField(header, "Language");
  const std::string charset = Charset(HeaderField(header, "Content-Type"));
  std::optional<Converter> converter;
  if (!IsUtf8Name(charset)) {
    converter.emplace(charset);
    if (!converter->ok()) {
      problems.push_back(shown + ": the charset \"" + charset +
                         "\" is unknown; convert the file to UTF-8 (msgconv --to-code=UTF-8)");
      return std::nullopt;
    }
  }

  const std::vector<size_t> lines = EntryLines(bytes, !reading.obsoleteLeftOut);
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
  std::string context, msgid, msgstr;  // converted from the header's charset
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
    auto where = [&] { return shown + (line ? ":" + std::to_string(line) : std::string()); };
    if (converter) {
      context = e.context, msgid = e.msgid, msgstr = e.msgstr;
      if (!converter->Convert(context) || !converter->Convert(msgid) || !converter->Convert(msgstr)) {
        problems.push_back(where() + ": the text is not in the charset " + charset + " the header declares");
        bad = true;
      }
      e.context = context, e.msgid = msgid, e.msgstr = msgstr;
    } else if (!ValidUtf8(e.context) || !ValidUtf8(e.msgid) || !ValidUtf8(e.msgstr)) {
      problems.push_back(where() + ": the text is not valid UTF-8 (declare the file's charset in its header)");
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
