#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "state/package_profile.hpp"

namespace ledra {

// Source files found by what they hold rather than by their names. Only the first lines of a
// file are read, so a folder may hold anything else beside the reports.

// Which of the 弥生会計 rows of the file settings (AccountList .. Journal) are looked for.
using YayoiRows = PerSourceFile<bool>;
// Every one of them.
YayoiRows allYayoiRows();

// What a file's first lines say it is.
struct RecognisedFile {
  enum class Kind {
    Report,       // one of the six files the import reads; `role` says which
    OtherReport,  // a 弥生会計 report (帳票名 on line 1) that the import does not read
    NotReport,    // anything else: no 帳票名 line, no text, empty
    Unreadable,   // a file that cannot be opened or read, or a folder
  };
  std::string path;
  Kind kind = Kind::NotReport;
  std::optional<SourceFile> role;  // for Kind::Report
  std::string title;               // 帳票名 as the file gives it
  std::string format;              // 書式名 as the file gives it (line 2)
  std::string unreadable;          // why, for Kind::Unreadable
};

RecognisedFile recogniseYayoiFile(const std::string& path);

// The row label of the file settings ("勘定科目一覧表" .. "仕訳データ").
std::string yayoiRowLabel(SourceFile row);

// Why a file fills no row, as one message line beginning with its path; "" for a report.
std::string notFillingReason(const RecognisedFile& file);

// What stops a set of files from being imported.
struct SourceProblem {
  enum class Kind {
    Missing,    // a row that must be filled has no file
    Duplicate,  // two or more files hold the same report
    Foreign,    // a file given explicitly is no report the import reads
  };
  Kind kind;
  std::optional<SourceFile> role;  // Missing and Duplicate
  std::vector<std::string> files;  // Duplicate: every such file; Foreign: the file
  std::string message;             // one line, naming the row and the files
};

// The files found for the 弥生会計 rows.
struct YayoiSourceSet {
  SourceFiles files;                    // "" where none was found
  std::vector<SourceProblem> problems;  // rows in order, then foreign files
  std::vector<RecognisedFile> unused;   // files looked at that fill no row
  bool ok() const { return problems.empty(); }
};

// Every file of the folder (not its subfolders, not hidden files) for the wanted rows. A file
// under the name 弥生会計 exports it with ("勘定科目一覧表.txt" ..) fills its row whatever
// it holds, as always; the other rows are filled by content. The sub-account rows may stay
// empty; every other wanted row without a file is a problem, as are two files for one row.
// Files that fill no row are no problem here: a folder holds other files too.
YayoiSourceSet recogniseYayoiFolder(const std::string& folder, const YayoiRows& wanted);

// Files the user named one by one (chosen or dropped): each fills the row of its content.
// A file that is no report the import reads is a problem, and so are two files for one row;
// rows no file fills stay empty without being one.
YayoiSourceSet recogniseYayoiFiles(const std::vector<std::string>& paths);

// The whole message for a set with problems: a first line, then one line per problem and, for
// a folder, a line for each file that looked like a report but fills no row. Lines are joined
// by CR LF. `folder` is "" for a list of files.
std::string sourceSetMessage(const YayoiSourceSet& set, const std::string& folder);

// ブルーリターンＡ: a year folder (…/Data/Y2007) holds kcode.brf, 仕訳データ and 基本情報ﾃﾞｰﾀ.
// The names of those the folder lacks.
std::vector<std::string> missingBlueFiles(const std::string& folder);

// The year folders at a folder: the folder itself when it holds all three files; otherwise
// those of its subfolders and of its Data subfolder that do (the installation folder or its
// Data folder given), by name.
std::vector<std::string> findBlueYearFolders(const std::string& folder);

}  // namespace ledra
