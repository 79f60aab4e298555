#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/platform.hpp"

namespace ledra {

// Result codes of runZipCommand (0 is success). The numbers follow the usual zip tool's exit
// codes, so that a user quoting one finds it explained in the familiar place.
namespace zip_result {
inline constexpr int kOk = 0;
inline constexpr int kBadArchive = 3;     // the archive to update is not a readable ZIP
inline constexpr int kNothingToDo = 12;   // the list file names no member
inline constexpr int kWriteFailed = 14;   // the archive could not be written
inline constexpr int kCreateFailed = 15;  // the archive could not be opened for writing
inline constexpr int kBadCommand = 16;    // malformed command line or member name
inline constexpr int kOpenFailed = 18;    // the list file or a member cannot be read
}  // namespace zip_result

// Packs the request's members into its archive. Returns code 0 on success, else one of
// zip_result with the file and errno the system refused when there was one.
ArchiveResult runArchive(const ArchiveRequest& request, PreparedMembers* prepared);

// Runs the archiver on its command line (a command-line front end of runArchive):
//   -r|-u  [-0..-9]  "archive.zip"  "base folder"  @list-file
// "-r" writes the archive anew, "-u" adds to or replaces members of an existing one (creating
// it when missing). The list file (CP932, one name a line) names the members relative to the
// base folder; a relative archive name is taken relative to the base folder too. The archive
// is replaced only when complete. Returns 0 on success, one of zip_result otherwise.
int runZipCommand(const std::string& commandLine);

// Members compressed ahead of the archiver run, on another thread, from the bytes their writer
// produced. The archiver uses a prepared member only while the file it names still holds
// exactly those bytes, so the archive always carries what is on disk.
class PreparedMembers {
 public:
  PreparedMembers();
  ~PreparedMembers();  // abandons what has not started and waits for the rest
  PreparedMembers(const PreparedMembers&) = delete;
  PreparedMembers& operator=(const PreparedMembers&) = delete;

  struct Member {
    std::string path;   // the file the bytes were written to
    std::string bytes;  // its contents
  };
  // Starts compressing at the given level (once; later calls are ignored).
  void start(std::vector<Member> members, int level);

  struct Entry;

 private:
  friend ArchiveResult runArchive(const ArchiveRequest&, PreparedMembers*);
  void work();
  void finish();

  std::vector<std::unique_ptr<Entry>> entries_;
  int level_ = -1;
  std::atomic<size_t> next_{0};
  std::atomic<bool> abandoned_{false};
  std::thread worker_;
};

// As above, taking the prepared members that still match their files.
int runZipCommand(const std::string& commandLine, PreparedMembers* prepared);

}  // namespace ledra
