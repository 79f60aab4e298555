#include "platform/archiver.hpp"

#include <unistd.h>
#include <zip.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <filesystem>
#include <memory>
#include <optional>
#include <string_view>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include "base/text.hpp"
#include "platform/cp932.hpp"
#include "platform/file_io.hpp"

namespace ledra {

namespace {

enum class ZipMode { None, Replace, Update };

struct ZipCommand {
  ZipMode mode = ZipMode::None;
  int level = -1;  // -1: the library's default
  std::string archive;
  std::string baseFolder;
  std::string listFile;
};

struct Token {
  std::string text;
  bool quoted = false;  // began with a quotation mark, so never a switch or a list reference
};

bool isBlank(char c) { return c == ' ' || c == '\t'; }

// Blank-separated words; a quoted stretch may hold blanks and loses its quotation marks.
std::optional<std::vector<Token>> tokenize(std::string_view line) {
  std::vector<Token> tokens;
  size_t i = 0;
  const size_t n = line.size();
  while (true) {
    while (i < n && isBlank(line[i])) ++i;
    if (i >= n) break;
    Token token;
    token.quoted = line[i] == '"';
    bool inQuote = false;
    while (i < n && (inQuote || !isBlank(line[i]))) {
      if (line[i] == '"') {
        inQuote = !inQuote;
      } else {
        token.text += line[i];
      }
      ++i;
    }
    if (inQuote) return std::nullopt;
    tokens.push_back(std::move(token));
  }
  return tokens;
}

bool applySwitch(std::string_view letters, ZipCommand& cmd) {
  if (letters.empty()) return false;
  for (char c : letters) {
    if (c == 'r' || c == 'u') {
      const ZipMode mode = c == 'r' ? ZipMode::Replace : ZipMode::Update;
      if (cmd.mode != ZipMode::None && cmd.mode != mode) return false;
      cmd.mode = mode;
    } else if (c >= '0' && c <= '9') {
      cmd.level = c - '0';
    } else {
      return false;
    }
  }
  return true;
}

std::optional<ZipCommand> parseCommand(std::string_view line) {
  auto tokens = tokenize(line);
  if (!tokens) return std::nullopt;
  ZipCommand cmd;
  int positional = 0;
  bool haveList = false;
  for (const Token& t : *tokens) {
    if (!t.quoted && startsWith(t.text, "-")) {
      if (!applySwitch(std::string_view(t.text).substr(1), cmd)) return std::nullopt;
    } else if (!t.quoted && startsWith(t.text, "@")) {
      if (haveList || t.text.size() == 1) return std::nullopt;
      cmd.listFile = t.text.substr(1);
      haveList = true;
    } else if (positional == 0) {
      cmd.archive = t.text;
      ++positional;
    } else if (positional == 1) {
      cmd.baseFolder = t.text;
      ++positional;
    } else {
      return std::nullopt;
    }
  }
  if (cmd.mode == ZipMode::None || !haveList || positional != 2 || cmd.archive.empty() ||
      cmd.baseFolder.empty()) {
    return std::nullopt;
  }
  return cmd;
}

// A member name must stay inside the base folder and inside the archive's own tree.
bool safeMemberName(std::string_view name) {
  if (name.empty() || name.front() == '/' || name.find('\\') != std::string_view::npos ||
      name.find('\0') != std::string_view::npos) {
    return false;
  }
  for (std::string_view part : splitPlainView(name, "/")) {
    if (part.empty() || part == "." || part == "..") return false;
  }
  return true;
}

std::vector<std::string> listedNames(std::string_view bytes) {
  std::vector<std::string> names;
  for (std::string& line : splitPlain(decodeFileText(bytes), "\n")) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) names.push_back(std::move(line));
  }
  return names;
}

bool readableFile(const std::string& path) {
  std::error_code ec;
  return std::filesystem::is_regular_file(path, ec) && ::access(path.c_str(), R_OK) == 0;
}

int openFailure(int zipError) {
  switch (zipError) {
    case ZIP_ER_NOZIP:
    case ZIP_ER_INCONS:
    case ZIP_ER_COMPNOTSUPP:
    case ZIP_ER_ENCRNOTSUPP:
      return zip_result::kBadArchive;
    default:
      return zip_result::kCreateFailed;
  }
}

// One member compressed on its own, held as a one-entry archive in memory.
struct PackedMember {
  zip_t* archive = nullptr;  // opened for reading
  PackedMember() = default;
  PackedMember(PackedMember&& other) noexcept : archive(std::exchange(other.archive, nullptr)) {}
  PackedMember& operator=(PackedMember&& other) noexcept {
    std::swap(archive, other.archive);
    return *this;
  }
  ~PackedMember() {
    if (archive) zip_discard(archive);
  }
};

// Compresses one member, read from the file at path or taken from bytes, into `out`; returns a
// zip_result code.
int packMember(const std::string& path, const std::string* bytes, int level, PackedMember& out) {
  zip_error_t error;
  zip_error_init(&error);
  zip_source_t* buffer = zip_source_buffer_create(nullptr, 0, 0, &error);
  zip_error_fini(&error);
  if (!buffer) return zip_result::kWriteFailed;
  zip_source_keep(buffer);  // outlives the archive written into it
  std::unique_ptr<zip_source_t, decltype(&zip_source_free)> hold(buffer, zip_source_free);
  zip_error_init(&error);
  zip_t* writer = zip_open_from_source(buffer, ZIP_TRUNCATE, &error);
  zip_error_fini(&error);
  if (!writer) return zip_result::kWriteFailed;
  zip_source_t* file = bytes ? zip_source_buffer(writer, bytes->data(), bytes->size(), 0)
                             : zip_source_file(writer, path.c_str(), 0, 0);
  if (!file) {
    zip_discard(writer);
    return zip_result::kOpenFailed;
  }
  if (zip_file_add(writer, "member", file, 0) < 0) {
    zip_source_free(file);
    zip_discard(writer);
    return zip_result::kWriteFailed;
  }
  const zip_int32_t method = level == 0 ? ZIP_CM_STORE : ZIP_CM_DEFLATE;
  const zip_uint32_t flags = level > 0 ? static_cast<zip_uint32_t>(level) : 0;
  if (zip_set_file_compression(writer, 0, method, flags) != 0) {
    zip_discard(writer);
    return zip_result::kWriteFailed;
  }
  if (zip_close(writer) != 0) {
    const int code = zip_error_code_zip(zip_get_error(writer));
    zip_discard(writer);
    return code == ZIP_ER_OPEN || code == ZIP_ER_READ ? zip_result::kOpenFailed
                                                      : zip_result::kWriteFailed;
  }
  zip_error_init(&error);
  out.archive = zip_open_from_source(buffer, ZIP_RDONLY, &error);
  zip_error_fini(&error);
  if (!out.archive) return zip_result::kWriteFailed;
  hold.release();  // the reader owns the buffer now
  return zip_result::kOk;
}

// Deflating at level 9 is most of an archive's time, so members are compressed side by side,
// the largest first so that the workers finish together.
int packMembers(const std::vector<std::string>& paths, int level,
                std::vector<PackedMember>& packed) {
  std::vector<size_t> order(paths.size());
  std::vector<std::uintmax_t> sizes(paths.size());
  for (size_t i = 0; i < paths.size(); ++i) {
    order[i] = i;
    std::error_code ec;
    sizes[i] = std::filesystem::file_size(paths[i], ec);
  }
  std::stable_sort(order.begin(), order.end(),
                   [&](size_t a, size_t b) { return sizes[a] > sizes[b]; });
  std::vector<int> results(paths.size(), zip_result::kOk);
  std::atomic<size_t> next{0};
  auto work = [&] {
    for (size_t k; (k = next.fetch_add(1)) < order.size();)
      results[order[k]] = packMember(paths[order[k]], nullptr, level, packed[order[k]]);
  };
  const size_t workers =
      std::min<size_t>(paths.size(), std::max(1u, std::thread::hardware_concurrency()));
  std::vector<std::thread> threads;
  try {
    for (size_t w = 1; w < workers; ++w) threads.emplace_back(work);
  } catch (const std::system_error&) {
    // No more threads: the ones started and this one share the rest.
  }
  work();
  for (std::thread& t : threads) t.join();
  for (int r : results)
    if (r != zip_result::kOk) return r;
  return zip_result::kOk;
}

}  // namespace

struct PreparedMembers::Entry {
  Member member;
  PackedMember packed;
  int result = zip_result::kWriteFailed;  // until compressed
};

PreparedMembers::PreparedMembers() = default;

PreparedMembers::~PreparedMembers() {
  abandoned_ = true;
  if (worker_.joinable()) worker_.join();
}

void PreparedMembers::start(std::vector<Member> members, int level) {
  if (!entries_.empty() || members.empty()) return;
  // The largest first: it takes longest, and the archiver run may take on the small ones.
  std::stable_sort(members.begin(), members.end(), [](const Member& a, const Member& b) {
    return a.bytes.size() > b.bytes.size();
  });
  for (Member& m : members) {
    entries_.push_back(std::make_unique<Entry>());
    entries_.back()->member = std::move(m);
  }
  level_ = level;
  try {
    worker_ = std::thread([this] { work(); });
  } catch (const std::system_error&) {
    // No thread: the archiver run compresses them itself.
  }
}

void PreparedMembers::work() {
  for (size_t k; !abandoned_ && (k = next_.fetch_add(1)) < entries_.size();) {
    Entry& e = *entries_[k];
    e.result = packMember(e.member.path, &e.member.bytes, level_, e.packed);
  }
}

void PreparedMembers::finish() {
  work();
  if (worker_.joinable()) worker_.join();
}

int runZipCommand(const std::string& commandLine) { return runZipCommand(commandLine, nullptr); }

int runZipCommand(const std::string& commandLine, PreparedMembers* prepared) {
  const auto cmd = parseCommand(commandLine);
  if (!cmd) return zip_result::kBadCommand;

  const auto list = readFileBytes(cmd->listFile);
  if (!list) return zip_result::kOpenFailed;
  ArchiveRequest request;
  request.members = listedNames(*list);
  request.baseFolder = cmd->baseFolder;
  request.archivePath =
      startsWith(cmd->archive, "/") ? cmd->archive : joinPath(cmd->baseFolder, cmd->archive);
  request.mode = cmd->mode == ZipMode::Update ? ArchiveMode::Update : ArchiveMode::Replace;
  request.level = cmd->level;
  return runArchive(request, prepared).code;
}

ArchiveResult runArchive(const ArchiveRequest& request, PreparedMembers* prepared) {
  const std::vector<std::string>& names = request.members;
  if (names.empty()) return {zip_result::kNothingToDo, 0, {}};

  std::vector<std::string> paths;
  for (const std::string& name : names) {
    if (!safeMemberName(name)) return {zip_result::kBadCommand, 0, {}};
    paths.push_back(joinPath(request.baseFolder, name));
    if (!readableFile(paths.back())) {
      std::error_code ec;
      const bool folder = std::filesystem::is_directory(paths.back(), ec);
      const int err = folder ? EISDIR : ::access(paths.back().c_str(), R_OK) != 0 ? errno : EIO;
      return {zip_result::kOpenFailed, err, paths.back()};
    }
  }

  const std::string& archivePath = request.archivePath;
  const int level = request.level < 0 || request.level > 9 ? -1 : request.level;
  int flags = ZIP_CREATE;
  if (request.mode == ArchiveMode::Replace) flags |= ZIP_TRUNCATE;
  int error = 0;
  errno = 0;
  zip_t* za = zip_open(archivePath.c_str(), flags, &error);
  if (!za) {
    // zip_open gives only its own code; the system's reason is what the call left in errno.
    int err = error == ZIP_ER_NOZIP || error == ZIP_ER_INCONS ? 0 : errno;
    std::error_code ec;
    if (err == 0 && std::filesystem::is_directory(archivePath, ec)) err = EISDIR;
    return {openFailure(error), err, archivePath};
  }

  // Nothing reaches the disk before zip_close, which writes a temporary file and renames it,
  // so any failure here leaves the earlier archive as it was.
  // A prepared member is taken only while its file holds exactly the bytes it was made from;
  // any other is compressed from the file now.
  std::vector<zip_t*> sources(names.size(), nullptr);
  std::vector<PreparedMembers::Entry*> matched(names.size(), nullptr);
  if (prepared && prepared->level_ == level) {
    for (size_t i = 0; i < names.size(); ++i) {
      for (const auto& e : prepared->entries_) {
        if (std::filesystem::path(e->member.path).lexically_normal() !=
            std::filesystem::path(paths[i]).lexically_normal()) {
          continue;
        }
        const auto onDisk = readFileBytes(paths[i]);
        if (onDisk && *onDisk == e->member.bytes) matched[i] = e.get();
        break;
      }
    }
  }
  std::vector<std::string> restPaths;
  std::vector<size_t> restIndex;
  for (size_t i = 0; i < names.size(); ++i) {
    if (!matched[i]) {
      restPaths.push_back(paths[i]);
      restIndex.push_back(i);
    }
  }
  std::vector<PackedMember> packed(restPaths.size());
  int result = packMembers(restPaths, level, packed);
  if (prepared) prepared->finish();
  for (size_t k = 0; k < restIndex.size(); ++k) sources[restIndex[k]] = packed[k].archive;
  for (size_t i = 0; i < names.size() && result == zip_result::kOk; ++i) {
    if (!matched[i]) continue;
    if (matched[i]->result != zip_result::kOk) {
      // Compressing the held bytes failed: try the file, as without preparation.
      packed.emplace_back();
      result = packMember(paths[i], nullptr, level, packed.back());
      sources[i] = packed.back().archive;
    } else {
      sources[i] = matched[i]->packed.archive;
    }
  }
  if (result != zip_result::kOk) {
    zip_discard(za);
    // Running out of memory is the usual reason for a member that cannot be compressed.
    return {result, result == zip_result::kWriteFailed ? ENOMEM : 0, {}};
  }
  for (size_t i = 0; i < names.size(); ++i) {
    // The whole entry is copied as it was compressed, not inflated and deflated again.
    zip_source_t* source = zip_source_zip(za, sources[i], 0, 0, 0, -1);
    if (!source) {
      zip_discard(za);
      return {zip_result::kWriteFailed, ENOMEM, {}};
    }
    const zip_int64_t index =
        zip_file_add(za, names[i].c_str(), source, ZIP_FL_OVERWRITE | ZIP_FL_ENC_UTF_8);
    if (index < 0) {
      zip_source_free(source);
      zip_discard(za);
      return {zip_result::kWriteFailed, 0, archivePath};
    }
    // Left at the default, a stored member would be deflated on the way in.
    if (level == 0 &&
        zip_set_file_compression(za, static_cast<zip_uint64_t>(index), ZIP_CM_STORE, 0) != 0) {
      zip_discard(za);
      return {zip_result::kWriteFailed, 0, archivePath};
    }
  }
  if (zip_close(za) != 0) {
    zip_error_t* why = zip_get_error(za);
    const int code = zip_error_code_zip(why);
    const int err = zip_error_system_type(why) == ZIP_ET_SYS ? zip_error_code_system(why) : 0;
    zip_discard(za);
    return {code == ZIP_ER_TMPOPEN ? zip_result::kCreateFailed : zip_result::kWriteFailed, err,
            archivePath};
  }
  // On the disk before the run goes on to move it into place.
  if (!syncFile(archivePath)) return {zip_result::kWriteFailed, errno, archivePath};
  return {};
}

}  // namespace ledra
