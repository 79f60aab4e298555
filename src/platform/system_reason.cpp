#include "platform/system_reason.hpp"

#include <cerrno>
#include <cstring>

namespace ledra {

namespace {

const char* japaneseReason(int err) {
  switch (err) {
    case ENOENT:
      return "ファイルまたはフォルダがありません";
    case EACCES:
    case EPERM:
      return "アクセスが許可されていません";
    case ENOSPC:
      return "ディスクの空き容量が足りません";
    case EDQUOT:
      return "ディスクの使用量の上限を超えています";
    case EROFS:
      return "読み取り専用の場所です";
    case ENAMETOOLONG:
      return "ファイル名またはパスが長すぎます";
    case EISDIR:
      return "フォルダです";
    case ENOTDIR:
      return "パスの途中にフォルダではないものがあります";
    case EEXIST:
      return "既に存在します";
    case EBUSY:
    case ETXTBSY:
      return "使用中です";
    case EIO:
      return "読み書き中に装置のエラーが起きました";
    case ENOMEM:
      return "メモリが不足しています";
    case EMFILE:
    case ENFILE:
      return "開いているファイルが多すぎます";
    case EFBIG:
      return "ファイルが大きすぎます";
    case ENOTEMPTY:
      return "フォルダが空ではありません";
    case EXDEV:
      return "別のドライブへは移動できません";
    case ELOOP:
      return "シンボリックリンクが循環しています";
    default:
      return nullptr;
  }
}

}  // namespace

std::string systemReason(int err) {
  const std::string own = std::strerror(err);
  const char* ja = japaneseReason(err);
  return ja ? std::string(ja) + ": " + own : own;
}

}  // namespace ledra
