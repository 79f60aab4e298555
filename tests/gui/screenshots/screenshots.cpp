// Renders every window and dialog of the program offscreen into PNG files, so that they can
// be looked at: screenshots OUTPUT_FOLDER SUFFIX (scripts/screenshots runs it at 100 % and
// at 200 % with QT_SCALE_FACTOR=2).
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <utility>
#include <vector>

#include "dataset.hpp"
#include "gui/conv_select_window.hpp"
#include "gui/gui_controller.hpp"
#include "gui/input_data.hpp"
#include "gui/main_window.hpp"
#include "gui/picker_dialog.hpp"
#include "gui/qt_platform.hpp"
#include "platform/cp932.hpp"
#include "platform/file_io.hpp"
#include "state/conversion_state.hpp"
#include "support/scripted_platform.hpp"

namespace {

using ledra::testing::ScriptedPlatform;
using namespace ledra;
using namespace ledra::gui;

QString outFolder;
QString suffix;
int failures = 0;

void save(QWidget* w, const char* name) {
  w->show();
  for (int i = 0; i < 3; ++i) QApplication::processEvents();
  const QString path = outFolder + "/" + name + suffix + ".png";
  if (!w->grab().save(path)) {
    std::fprintf(stderr, "could not write %s\n", path.toUtf8().constData());
    ++failures;
  }
  std::printf("%s\n", path.toUtf8().constData());
}

void clickNamed(QWidget* w, const char* name) { w->findChild<QPushButton*>(name)->click(); }

const std::string kExamples = std::string(LEDRA_SOURCE_DIR) + "/examples";

// From the start to the mapping screen of the 弥生会計 reports in the folder, with a picture of
// every step on the way when asked.
void importYayoi(GuiController& controller, ScriptedPlatform& platform, const std::string& master,
                 const std::string& folder, bool pictures = false) {
  const auto picture = [&](QWidget* w, const char* name) {
    if (pictures) save(w, name);
  };
  controller.start();
  picture(controller.convSelect(), "conv_select");
  platform.openAnswers = {master};
  clickNamed(controller.convSelect(), "B_Ptn_0");
  picture(controller.mainWindow(), "main_welcome");
  clickNamed(controller.mainWindow(), "B_Next");
  picture(controller.mainWindow(), "main_file_settings");
  platform.openAnswers = {folder + "/勘定科目一覧表.txt"};
  platform.messageAnswers = {MsgResult::Yes};
  clickNamed(controller.mainWindow(), "B_SelectFile_0");
  picture(controller.mainWindow(), "main_file_settings_chosen");
  clickNamed(controller.mainWindow(), "B_Next");
  picture(controller.mainWindow(), "main_mapping");
}

// The mapping screen's panels with rows needing work, the picker and a sub-account clash.
void mappingScreens(GuiController& controller) {
  MappingPresenter& m = controller.mainPresenter().mapping();
  MainWindow* main = controller.mainWindow();
  auto show = [main](const char* name) {
    main->render();
    save(main, name);
  };
  m.changeAccountCode(1, "");
  m.changeAccountCode(4, "");
  show("main_mapping_unmatched");
  // Accounts the journal does not use can be invalidated.
  m.scrollAccounts(5);
  for (size_t r = 0; r < m.view().accounts.rows.size(); ++r)
    if (m.view().accounts.rows[r].invalidEnabled) {
      m.clickInvalid(static_cast<int32_t>(r));
      break;
    }
  show("main_mapping_invalidated");
  m.scrollAccounts(0);
  m.openPicker(1);
  main->render();
  PickerDialog* picker = main->findChild<PickerDialog*>("LedraItem");
  picker->adjustSize();
  save(picker, "picker");
  m.picker()->setAutoCollect(true);
  m.picker()->select(0);
  picker->render();
  save(picker, "picker_auto_collect");
  m.closePicker();
  main->render();
  m.showPanel(PanelKind::SubAccounts);
  show("main_mapping_sub_accounts");
  const auto& choices = m.view().subAccounts.parentChoices;
  for (size_t i = 0; i < choices.size(); ++i)
    if (choices[i].find("売掛金") != std::string::npos) m.chooseParent(static_cast<int32_t>(i));
  m.changeSubCode(0, "B01");
  m.pressSubCodeKey(0, true);
  m.changeSubCode(1, "B01");
  m.pressSubCodeKey(1, true);
  show("main_mapping_sub_clash");
  m.showPanel(PanelKind::Departments);
  show("main_mapping_departments");
  m.showPanel(PanelKind::Accounts);
  main->render();
}

void yayoiScreens(const std::string& work) {
  ConversionState state;
  ScriptedPlatform platform;
  GuiController controller(state, platform);
  importYayoi(controller, platform, kExamples + "/ledra_master.csv", work + "/yayoi", true);
  mappingScreens(controller);
  controller.mainWindow()->hide();
}

// 変換 of the example company whose journal was changed after the import (a line names an
// account the list lacks), so the closing message shows what the report found.
void conversionDone(const std::string& work) {
  const std::string folder = work + "/done";
  std::filesystem::copy(kExamples + "/yayoi", folder);
  ConversionState state;
  ScriptedPlatform platform;
  GuiController controller(state, platform);
  importYayoi(controller, platform, kExamples + "/ledra_master.csv", folder);
  const std::string journal = folder + "/仕訳データ.txt";
  std::string bytes = *readFileBytes(journal);
  const std::string from = encodeCp932("\"旅費交通費\""), to = encodeCp932("\"謎の科目\"");
  bytes.replace(bytes.find(from), from.size(), to);
  std::ofstream(journal, std::ios::binary) << bytes;
  platform.messages.clear();
  platform.messageAnswers = {MsgResult::Ok, MsgResult::No};
  clickNamed(controller.mainWindow(), "B_Next");
  if (platform.messages.empty() || platform.messages.back().title != "終了") {
    std::fprintf(stderr, "変換 did not finish\n");
    ++failures;
    return;
  }
  auto box = makeMessageBox(platform.messages.back(), nullptr);
  save(box.get(), "message_done_report");
  controller.mainWindow()->hide();
}

// A company at full capacity (2000 accounts), at the design size and maximised, with the find
// box used and a sub-account clash blocking 変換.
void capacityScreens(const std::string& work) {
  bench::DatasetSize size = bench::DatasetSize::full();
  size.journalLines = 500;
  bench::writeDataset(work + "/capacity", size, 7);
  ConversionState state;
  ScriptedPlatform platform;
  GuiController controller(state, platform);
  importYayoi(controller, platform, work + "/capacity/ledra_master.csv", work + "/capacity/yayoi");
  MainWindow* main = controller.mainWindow();
  MappingPresenter& m = controller.mainPresenter().mapping();
  save(main, "main_mapping_capacity");
  m.showPanel(PanelKind::SubAccounts);
  m.chooseParent(1);
  m.changeSubCode(1, m.view().subAccounts.rows[0].code.text);
  m.pressSubCodeKey(1, true);
  m.showPanel(PanelKind::Accounts);
  m.findAccount("売掛金");
  main->render();
  save(main, "main_mapping_capacity_find");
  main->showMaximized();
  for (int i = 0; i < 3; ++i) QApplication::processEvents();
  save(main, "main_mapping_capacity_maximised");
  m.showPanel(PanelKind::SubAccounts);
  main->render();
  save(main, "main_mapping_capacity_maximised_sub");
  main->hide();
}

void blueReturnScreens(const std::string& work) {
  ConversionState state;
  ScriptedPlatform platform;
  GuiController controller(state, platform);
  controller.start();
  std::filesystem::create_directories(work + "/BR/Data/Y2008");
  platform.openAnswers = {kExamples + "/ledra_master.csv"};
  platform.folderAnswers = {work + "/BR"};
  platform.inputAnswers = {"2008"};
  clickNamed(controller.convSelect(), "B_Ptn_1");
  save(controller.mainWindow(), "main_welcome_blue");
  clickNamed(controller.mainWindow(), "B_Next");
  save(controller.mainWindow(), "main_file_settings_blue");
  controller.mainWindow()->hide();
}

void dialogs() {
  const std::string title = "Ledraデータコンバート Ver1.41";
  std::vector<std::pair<MessageRequest, const char*>> boxes = {
      {{title + "を起動します。\r\n\r\nLedraの勘定科目データを指定して下さい。", "ようこそ",
        MsgButtons::Ok, MsgIcon::None, 1},
       "message_welcome"},
      {{"勘定科目のあるフォルダを基準に他のファイルも定義しますか？", "自動定義", MsgButtons::YesNo,
        MsgIcon::Information, 2},
       "message_auto_define"},
      {{title + "を終了します。\r\n宜しいですか？", "注意", MsgButtons::OkCancel, MsgIcon::None, 1},
       "message_close"},
      {{title + "を終了します。\r\n宜しいですか？\r\n\r\n対応付けの変更が保存されていません。終了"
                "する前に保存しますか？",
        "注意", MsgButtons::SaveDiscardCancel, MsgIcon::Exclamation, 3},
       "message_close_unsaved"},
      {{"/home/user/Documents/Yayoi/Exchange/仕訳データ.txtが存在しません。\r\n移動した仕訳デー"
        "タを指定して下さい。",
        "注意", MsgButtons::OkCancel, MsgIcon::Exclamation, 1},
       "message_relocate_journal"},
      {{"変換を正常に終了しました。\r\n出力先: /home/user/Documents/Yayoi/Exchange\r\n圧縮ファイ"
        "ル: S0001234_output_20261208102030.zip",
        "終了", MsgButtons::Ok, MsgIcon::None, 1},
       "message_done"},
      {{"出力処理を行います。宜しいですか？", "注意", MsgButtons::OkCancel, MsgIcon::Question, 1},
       "message_output"},
      {{"勘定科目取込に失敗しました。\r\n勘定科目一覧表.txt 12行目: 列が足りません", "エラー",
        MsgButtons::Ok, MsgIcon::None, 1},
       "message_error"},
      {{"/home/user/Documents/Yayoi/Exchange/部門一覧表.txtが存在しません。", "", MsgButtons::Ok,
        MsgIcon::None, 1},
       "message_missing"},
      {{"Ledraの勘定科目データ取込に失敗しました。\r\n/home/user/Documents/Yayoi/Exchange/"
        "ledra_master.csv 2002行目: 勘定科目が多すぎます（2001件まで）",
        "エラー", MsgButtons::Ok, MsgIcon::None, 1},
       "message_master_failed"},
      {{"/home/user/ダウンロード/"
        "弥生の弥生会計のファイルを特定できません。\r\n部門一覧表のファイルが"
        "ありません（帳票名「部門一覧表」）\r\n仕訳データのファイルが2つあります：/home/user/ダウン"
        "ロード/弥生/export (1).txt、/home/user/ダウンロード/弥生/export (5).txt\r\n/home/user/"
        "ダウンロード/弥生/export (3).txt: 汎用形式ではない仕訳日記帳です（書式名：伝票形式）",
        "注意", MsgButtons::Ok, MsgIcon::Exclamation, 1},
       "message_source_files"},
  };
  // The summary after taking over another client's mapping, with refusals.
  boxes.push_back(
      {{"「/home/user/Documents/顧問先/山田商店.dat」の割当を引き継ぎました。\r\n"
        "勘定科目コードを割り当てました: 12件\r\n補助科目コードを割り当てました: 3件\r\n"
        "勘定科目を無効にしました: 1件\r\n割り当てられなかったもの: 2件\r\n"
        "  勘定科目 604 交際費: 使用中の勘定科目は無効にできません。\r\n"
        "  勘定科目 720 通信費: コード(T01)は既に使用済みです。",
        "割当の引き継ぎ", MsgButtons::Ok, MsgIcon::Information, 1},
       "message_reuse_summary"});
  for (const auto& [request, name] : boxes) {
    auto box = makeMessageBox(request, nullptr);
    save(box.get(), name);
  }
  auto input = makeInputDialog({"会計年度", "会計年度を入力して下さい。", "2007"}, nullptr);
  save(input.get(), "input_fiscal_year");

  FileDialogRequest open;
  open.title = "Ledraの勘定科目データを指定して下さい。";
  open.filter = "CSVファイル(*.csv)|*.csv";
  open.initialFolder = kExamples;
  open.options.fileMustExist = true;
  auto openDialog = makeFileDialog(open, false, nullptr);
  save(openDialog.get(), "dialog_open_master");
  FileDialogRequest saveRequest;
  saveRequest.title = "ログファイルを作成";
  saveRequest.filter = "datファイル|*.dat|すべてのファイル|*.*";
  saveRequest.initialFolder = kExamples;
  saveRequest.options.overwritePrompt = true;
  auto saveDialog = makeFileDialog(saveRequest, true, nullptr);
  save(saveDialog.get(), "dialog_save_state");
  auto folder = makeFolderDialog("フォルダーを選択してください", nullptr);
  folder->setDirectory(QString::fromStdString(kExamples));
  save(folder.get(), "dialog_folder");

  InputData progress;
  progress.start();
  progress.setTask("科目残高試算表取込中");
  progress.setMaximum(200);
  progress.setValue(83);
  save(&progress, "input_data");
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc != 3) {
    std::fprintf(stderr, "usage: screenshots OUTPUT_FOLDER SUFFIX\n");
    return 2;
  }
  setUpApplication();
  // The windows remember their size: the pictures start from the design size.
  QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, QDir::tempPath() + "/ledra-shots");
  QSettings(QSettings::IniFormat, QSettings::UserScope, "ledra-convert", "window").clear();
  outFolder = QString::fromLocal8Bit(argv[1]);
  suffix = QString::fromLocal8Bit(argv[2]);
  QDir().mkpath(outFolder);
  const std::string work = QDir::tempPath().toStdString() + "/ledra-screenshots";
  std::filesystem::remove_all(work);
  std::filesystem::create_directories(work);
  std::filesystem::copy(kExamples + "/yayoi", work + "/yayoi");
  yayoiScreens(work);
  capacityScreens(work);
  blueReturnScreens(work);
  conversionDone(work);
  dialogs();
  std::filesystem::remove_all(work);
  return failures == 0 ? 0 : 1;
}
