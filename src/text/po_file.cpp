#include "text/po_file.h"

#include <fcntl.h>
#include <gettext-po.h>
#include <iconv.h>
#include <poll.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cctype>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string_view>
#include <type_traits>
#include <unordered_set>

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
  std::string readAs;  // the name libgettextpo was given, when it reads a copy of the file
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

// Whether the header (the file's first entry) declares UTF-8.
bool HeaderSaysUtf8(std::string_view bytes) {
  std::string header(bytes.substr(0, bytes.find("\n\n")));
  for (char& c : header) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return header.find("charset=utf-8") != std::string::npos || header.find("charset=utf8") != std::string::npos;
}

// The file as libgettextpo is given it: the comments nothing here reads (the translator's, the extracted
// ones, source positions and previous strings; "#," flags and "#~" obsolete entries stay) are emptied,
// every line kept in its place, so the library files fewer strings and still reports the file's own lines.
std::string WithoutComments(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (size_t start = 0; start < bytes.size();) {
    size_t end = bytes.find('\n', start);
    if (end == std::string_view::npos) end = bytes.size();
    const std::string_view line = bytes.substr(start, end - start);
    const bool dropped = line.starts_with("#") && !line.starts_with("#,") && !line.starts_with("#~");
    if (!dropped) out.append(line);
    if (end < bytes.size()) out.push_back('\n');
    start = end + 1;
  }
  return out;
}

// The header's "charset=" in a copy of the file made unreadable, its length and lines kept: false when the
// copy's header has none.
bool HideCharset(std::string& copy) {
  const size_t at = copy.find("charset=");
  if (at == std::string::npos || at > copy.find("\n\n")) return false;
  copy[at + 7] = ':';
  return true;
}

bool WriteAll(int fd, std::string_view text) {
  for (size_t done = 0; done < text.size();) {
    const ssize_t n = write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

// `text` in a memory file, named as /proc/self/fd/N for libgettextpo to open; -1 when it cannot be made.
int MemoryFile(std::string_view text) {
  const int fd = memfd_create("mokuren-po", MFD_CLOEXEC);
  if (fd >= 0 && !WriteAll(fd, text)) {
    close(fd);
    return -1;
  }
  return fd;
}

std::string MemoryFileName(int fd) { return "/proc/self/fd/" + std::to_string(fd); }

// The copy libgettextpo reads byte by byte (see ReadFast), or nothing when the file is not read so: its
// header does not say UTF-8, or has no charset to hide.
std::optional<std::string> FastCopy(std::string_view bytes) {
  if (!HeaderSaysUtf8(bytes)) return std::nullopt;
  std::string copy = WithoutComments(bytes);
  if (!HideCharset(copy)) return std::nullopt;
  return copy;
}

// Reads the file `path` with libgettextpo, from `copy` (FastCopy) when there is one. A UTF-8 file is given to it
// without its comments, in memory, and read byte by byte: its lexer otherwise passes every character of the file
// through iconv, from UTF-8 to UTF-8, which is most of its time on a large file. The bytes are checked as UTF-8 here
// instead. The library reads byte by byte a file whose header names no charset (it then warns, and that warning is left
// out); a UTF-8 file holds no byte that such reading mistakes, every byte of a multibyte character being 0x80 or above.
po_file_t ReadFast(const std::string& path, const std::optional<std::string>& copy, Reading& reading) {
  if (!copy) return ReadWithHandler(path.c_str(), reading);
  const int fd = MemoryFile(*copy);
  if (fd < 0) return ReadWithHandler(path.c_str(), reading);
  reading.readAs = MemoryFileName(fd);
  po_file_t file = ReadWithHandler(reading.readAs.c_str(), reading);
  close(fd);
  return file;
}

// Every message of a file libgettextpo read, the header included, in the file's order; the texts are the
// library's and live as long as the file.
std::vector<PoEntryView> Messages(po_file_t file) {
  std::vector<PoEntryView> messages;
  std::unique_ptr<std::remove_pointer_t<po_message_iterator_t>, IteratorCloser> it(po_message_iterator(file, nullptr));
  while (po_message_t m = po_next_message(it.get())) {
    PoEntryView e;
    const char* ctxt = po_message_msgctxt(m);
    e.hasContext = ctxt != nullptr;
    e.context = ctxt ? ctxt : "";
    e.msgid = po_message_msgid(m);
    e.plural = po_message_msgid_plural(m) != nullptr;
    const char* str = e.plural ? po_message_msgstr_plural(m, 0) : po_message_msgstr(m);
    e.msgstr = str ? str : "";
    e.fuzzy = po_message_is_fuzzy(m) != 0;
    e.obsolete = po_message_is_obsolete(m) != 0;
    messages.push_back(e);
  }
  return messages;
}

// A large file is read in two halves at once, each by a child process of its own: libgettextpo keeps its
// reading state in globals, so threads cannot share the work. The halves meet at a blank line before an
// entry; the second half is read with the first one's lines left empty, so that its line numbers are the
// file's. A child sends back its messages, or only that it met a problem (any message from the library,
// a warning too); the file is then read again whole, in this process, so that what is reported is exactly
// what one reading reports. A reading in halves cannot see an entry that one half repeats from the
// other, so such a file is read again too.
constexpr size_t kHalvedFrom = 1 << 20;  // bytes of the copy; a smaller file is read at once
constexpr int kChildSilenceMs = 10000;   // a child silent for that long is stopped
constexpr char kMessagesEnd = '\xff';    // after the last message of a child that met no problem

void AppendSized(std::string& out, std::string_view text) {
  const auto size = static_cast<uint32_t>(text.size());
  out.append(reinterpret_cast<const char*>(&size), sizeof size);
  out.append(text);
}

bool ReadSized(std::string_view& in, std::string_view& text) {
  uint32_t size = 0;
  if (in.size() < sizeof size) return false;
  std::memcpy(&size, in.data(), sizeof size);
  in.remove_prefix(sizeof size);
  if (in.size() < size) return false;
  text = in.substr(0, size);
  in.remove_prefix(size);
  return true;
}

// What a child sends: per message a byte of flags and its three texts, each after its length.
std::string Serialized(const std::vector<PoEntryView>& messages) {
  std::string out;
  for (const PoEntryView& e : messages) {
    out.push_back(
        static_cast<char>((e.hasContext ? 1 : 0) | (e.fuzzy ? 2 : 0) | (e.obsolete ? 4 : 0) | (e.plural ? 8 : 0)));
    AppendSized(out, e.context);
    AppendSized(out, e.msgid);
    AppendSized(out, e.msgstr);
  }
  out.push_back(kMessagesEnd);
  return out;
}

// The messages a child sent (texts inside `sent`), or nothing when it met a problem or sent less.
std::optional<std::vector<PoEntryView>> Deserialized(std::string_view sent) {
  std::vector<PoEntryView> messages;
  while (!sent.empty() && sent.front() != kMessagesEnd) {
    const auto flags = static_cast<unsigned char>(sent.front());
    sent.remove_prefix(1);
    PoEntryView e;
    e.hasContext = flags & 1, e.fuzzy = flags & 2, e.obsolete = flags & 4, e.plural = flags & 8;
    if (!ReadSized(sent, e.context) || !ReadSized(sent, e.msgid) || !ReadSized(sent, e.msgstr)) return std::nullopt;
    messages.push_back(e);
  }
  if (sent.size() != 1) return std::nullopt;
  return messages;
}

// The child's side: reads `text` and writes what it found to `out`. Never returns.
[[noreturn]] void ReadInChild(std::string_view text, int out) {
  std::vector<std::string> problems;
  Reading reading;
  reading.problems = &problems;
  const int fd = MemoryFile(text);
  po_file_t file = nullptr;
  if (fd >= 0) {
    reading.readAs = MemoryFileName(fd);
    file = ReadWithHandler(reading.readAs.c_str(), reading);
  }
  const std::string sent = file && problems.empty() ? Serialized(Messages(file)) : std::string();
  _exit(WriteAll(out, sent) ? 0 : 1);
}

struct Child {
  pid_t pid = -1;
  int fd = -1;  // the pipe's end it writes to
  std::string sent;
};

bool StartChild(std::string_view text, Child& child) {
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) return false;
  child.pid = fork();
  if (child.pid == 0) {
    close(fds[0]);
    ReadInChild(text, fds[1]);
  }
  close(fds[1]);
  if (child.pid < 0) {
    close(fds[0]);
    return false;
  }
  child.fd = fds[0];
  return true;
}

// Reads what the children send until each has closed its end; false when one stays silent too long or
// reading fails. Every child is waited for, and stopped first when it is still at work.
bool Collect(std::array<Child, 2>& children) {
  bool ok = true;
  char buffer[1 << 16];
  for (;;) {
    std::array<pollfd, 2> polled{};
    nfds_t count = 0;
    std::array<Child*, 2> of{};
    for (Child& c : children)
      if (c.fd >= 0) {
        of[count] = &c;
        polled[count++] = {c.fd, POLLIN, 0};
      }
    if (count == 0 || !ok) break;
    const int ready = poll(polled.data(), count, kChildSilenceMs);
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) {
      ok = false;
      break;
    }
    for (nfds_t i = 0; i < count; ++i) {
      if (polled[i].revents == 0) continue;
      const ssize_t n = read(polled[i].fd, buffer, sizeof buffer);
      if (n > 0) {
        of[i]->sent.append(buffer, static_cast<size_t>(n));
      } else if (n == 0 || errno != EINTR) {
        ok = ok && n == 0;
        close(of[i]->fd);
        of[i]->fd = -1;
      }
    }
  }
  for (Child& c : children) {
    if (c.fd >= 0) close(c.fd);
    if (c.pid <= 0) continue;
    if (!ok) kill(c.pid, SIGKILL);
    int status = 0;
    while (waitpid(c.pid, &status, 0) < 0 && errno == EINTR) {
    }
    ok = ok && WIFEXITED(status) && WEXITSTATUS(status) == 0;
  }
  return ok;
}

// Where the copy is cut in two: the start of an entry (its flags, msgctxt or msgid, obsolete or not) after
// a blank line, past the middle; npos for none.
size_t SplitPoint(std::string_view copy) {
  for (size_t at = copy.find("\n\n", copy.size() / 2); at != std::string_view::npos; at = copy.find("\n\n", at + 1)) {
    const std::string_view next = copy.substr(at + 2);
    for (std::string_view start : {"msgctxt ", "msgid ", "#,", "#~ msgctxt ", "#~ msgid "})
      if (next.starts_with(start)) return at + 2;
  }
  return std::string_view::npos;
}

// The key by which libgettextpo tells one entry from another.
std::string EntryKey(const PoEntryView& e) {
  return e.hasContext ? std::string(e.context) + '\4' + std::string(e.msgid) : std::string(e.msgid);
}

// Reads the copy in two children: every message in the file's order, or nothing when the file is to be read
// at once instead. `sent` keeps the texts the messages point into.
std::optional<std::vector<PoEntryView>> ReadInHalves(std::string_view copy, std::array<Child, 2>& children) {
  if (copy.size() < kHalvedFrom) return std::nullopt;
  const size_t split = SplitPoint(copy);
  if (split == std::string_view::npos) return std::nullopt;
  // The second half keeps the header (the file's first entry, when it is first) where it stands, so that
  // both halves are read under it; its copy there is not taken.
  const size_t firstLine = copy.find_first_not_of('\n');
  const bool header = firstLine != std::string_view::npos && copy.substr(firstLine).starts_with("msgid \"\"");
  const size_t headerEnd = header ? std::min(copy.find("\n\n", firstLine), split) : 0;
  std::string second(copy.substr(0, headerEnd));
  second.append(static_cast<size_t>(std::count(copy.begin() + static_cast<ptrdiff_t>(headerEnd),
                                               copy.begin() + static_cast<ptrdiff_t>(split), '\n')),
                '\n');
  second.append(copy.substr(split));
  bool started = StartChild(copy.substr(0, split), children[0]);
  started = started && StartChild(second, children[1]);
  if (!Collect(children) || !started) return std::nullopt;
  std::optional<std::vector<PoEntryView>> first = Deserialized(children[0].sent);
  std::optional<std::vector<PoEntryView>> rest = Deserialized(children[1].sent);
  if (!first || !rest) return std::nullopt;
  if (header) {
    if (rest->empty() || rest->front().hasContext || !rest->front().msgid.empty()) return std::nullopt;
    rest->erase(rest->begin());
  }
  std::unordered_set<std::string> keys;
  keys.reserve(first->size());
  for (const PoEntryView& e : *first) keys.insert(EntryKey(e));
  for (const PoEntryView& e : *rest)
    if (keys.contains(EntryKey(e))) return std::nullopt;
  first->insert(first->end(), rest->begin(), rest->end());
  return first;
}

// The line each entry starts on, in the file's order: an entry starts at its msgctxt, or at its msgid
// when no msgctxt comes just before. Obsolete entries ("#~ msgid") count; "#|" previous strings do not.
std::vector<size_t> EntryLines(std::string_view bytes) {
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
    if (line.starts_with("#~")) {
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
                                         const std::function<void(const PoEntryView&)>& entry,
                                         const std::string* known) {
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

  // A large UTF-8 file is read in two halves at once; any other, or one whose halves do not make a clean
  // whole, at once.
  std::optional<std::string> copy = FastCopy(bytes);
  std::array<Child, 2> children;
  std::optional<std::vector<PoEntryView>> messages = copy ? ReadInHalves(*copy, children) : std::nullopt;
  std::unique_ptr<std::remove_pointer_t<po_file_t>, PoFileCloser> file;
  std::string header;
  if (messages) {
    for (const PoEntryView& e : *messages)
      if (!e.hasContext && e.msgid.empty() && !e.obsolete) {
        header = e.msgstr;
        break;
      }
  } else {
    Reading reading;
    reading.file = shown;
    reading.problems = &problems;
    file.reset(ReadFast(shown, copy, reading));
    if (!file) {
      if (!reading.failed) problems.push_back(shown + ": cannot be read by libgettextpo");
      return std::nullopt;
    }
    if (reading.failed) return std::nullopt;
    const char* domainHeader = po_file_domain_header(file.get(), nullptr);
    header = domainHeader ? domainHeader : "";
    messages = Messages(file.get());
  }

  std::string language = HeaderField(header.c_str(), "Language");
  const std::string charset = Charset(HeaderField(header.c_str(), "Content-Type"));
  std::optional<Converter> converter;
  if (!IsUtf8Name(charset)) {
    converter.emplace(charset);
    if (!converter->ok()) {
      problems.push_back(shown + ": the charset \"" + charset +
                         "\" is unknown; convert the file to UTF-8 (msgconv --to-code=UTF-8)");
      return std::nullopt;
    }
  }

  const std::vector<size_t> lines = EntryLines(bytes);
  // The positions are only trusted when they were found for every entry.
  const bool placed = messages->size() == lines.size();
  bool bad = false;
  std::string context, msgid, msgstr;  // converted from the header's charset
  for (size_t index = 0; index < messages->size(); ++index) {
    PoEntryView e = (*messages)[index];
    if (!e.hasContext && e.msgid.empty() && !e.obsolete) continue;  // the header
    const size_t line = placed ? lines[index] : 0;
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
