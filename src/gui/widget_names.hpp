#pragma once

#include <QString>

// Object names of the controls. Tests, screenshots and the code find controls by these
// names; an array's element i is NAME_i (T_N_KCode_3). Prefixes say the kind: F_ frame,
// B_ button, T_ text box, L_ label, C_ check box or combo box, R_ option button, VS_ scroll
// bar, Op_ option button of the picker. On the mapping screen Y marks the source package's
// side (弥生会計 or ブルーリターンＡ) and N the service Ledra's side.
//
// Start form ConvSelect: L_Mes message, F_Pattern with B_Ptn_i (the package), B_Continue, B_Exit.
// Main form Main: L_Company company heading, B_Next "次へ >>" / "読込" / "変換" / "再変換", B_Exit,
//   B_StatusSave "作業状態を保存", B_ToWriteCSV (never shown), B_OutputFolder.
//   F_1stStep "ようこそ": T_Msg01 welcome text, Image1 picture.
//   F_2ndStep "ファイル設定": F_Input (弥生会計) / F_Input_Blue (ブルーリターンＡ) with
//     L_FileLabel_i, T_FileName_i, B_SelectFile_i per source file; F_SZ consumption tax with
//     SZ_OnOff_0 / SZ_OnOff_1 (on / off) and SZ_KKZ (簡易課税); F_Result output folder
//     (L_ForderLabel); F_ConvPtn the service's chart file (L_ConvF).
//   F_3rdStep "データコンバート": B_ConvSelect_0..2 choose the panel 勘定科目 / 補助 / 部門.
//     F_Conv accounts: R_KKS_0..2 filter 全て / BS科目 / PL科目, T_Find and L_FindMissed the
//       find box, RemainObj "マッチング科目残数：m/n", L_Blocking what else blocks 変換,
//       L_Y_0 / L_N_0 side headings, VS_conv_0 / VS_conv_1 the two (equal) scroll bars.
//       Per row: T_Y_KCode code, T_Y_KKJ name, T_Y_KZ opening balance of the source
//       account; C_TakeThisRec the 無効 box (the account is left out); B_N_KK "選択" opens
//       the picker; T_N_KCode the service code typed in, T_N_KKJ its name, T_N_KZ balance.
//     F_Hojo sub-accounts: C_N_SKK 所属勘定科目 (the parent, "全て表示" first), L_Y_SYK the
//       parent's source name, L_N_1 heading, VS_hojo_0; per row T_N_HKCode the code typed
//       in, T_N_HK the name.
//     F_Bumon departments (display only): L_alm note, L_N_2 heading, VS_Bumon_0; per row
//       T_N_BCode code, T_N_BN name, T_N_CBN parent department.
// Picker LedraItem "Ledra　勘定科目選択": C_AutoCollect narrows to the source name's first
//   character, T_Like / B_Like search, F_Item with Op_Code_i (code, the choice) and KName_i
//   (name), VScroll_LedraItem, B_Exec "OK", B_Cancel.
// Dialogs of the platform: MessageBox, InputBox, FolderBrowser, ProgressBar.

namespace ledra::gui {

// Object name of element i of a control array: "T_FileName" + 3 -> "T_FileName_3".
inline QString arrayName(const char* name, int index) {
  return QString::fromLatin1(name) + '_' + QString::number(index);
}

}  // namespace ledra::gui
