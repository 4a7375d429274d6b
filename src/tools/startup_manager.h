// The startup manager (`TStartupManagerForm`): lists what Windows starts at log-on from the two Startup
// folders, the eight run keys and the "Load" and "Run" sections of win.ini, and disables, enables, removes and
// restores such entries. Nothing it takes away is lost: a registry entry is recorded (its line in
// "RepairBackup\startup.dat" or "RepairBackup\removestartup.dat" and an export of the value with its type and
// bytes) before its value is deleted, and a Startup folder file is copied to "RepairBackup\del" (a name of its
// own for each copy) before the file is deleted. Each row acts on the entry it was listed from.
#pragma once
#include <string>
#include <vector>

#include "app/prompts.h"
#include "platform/platform.h"
#include "platform/reg_access.h"
#include "sections/scan_context.h"
#include "tools/app_version.h"
#include "tools/startup_records.h"

namespace tw {

enum class StartupKind { StartupFolder, Registration, WinIni, Detail };

// One row of StartupListView. Detail rows (Kind Detail) carry a caption in Name and a value in Path.
struct StartupRow {
  std::string Name, Path, Status, Location;
  StartupKind Kind = StartupKind::Detail;
  bool HasMark = false;   // every entry row has a mark; detail rows have none
  bool Marked = false;
  bool HasExpander = false;
  bool Expanded = false;
  int Record = -1;  // the row's own record: in FolderRecords() for registry rows, WinIniRecords() for win.ini
  int DetailRecord = -1;  // the row's detail record in Details(), -1 for none
};

struct TWinIniData {
  std::string Section;
  std::string Key;
};

// A detail record: what the version information of an entry's program file says.
struct TFilInfoeRecord {
  std::string Type, Location, ProductName, Publisher, FileVersion, Description, EntryName, FilePath;
};

// One row of ListRestore.
struct RestoreRow {
  std::string Name, Info, Line;
  bool IsFile = false;
  bool Checked = false;
};

class TStartupManagerForm {
 public:
  enum class Page { Startup, Restoral };

  static constexpr const char* kCaption = "Startup Manager";
  static const char* const kHeaderLines[3];

  // FormCreate: the storage folders and files are made when missing and the Startup folder paths are read.
  TStartupManagerForm(Platform& platform, IPrompts& prompts, IMessagePump& pump);

  // FormShow and refresh: lists every entry again.
  void FormShow() { Refresh(); }
  void Refresh();
  // The page buttons.
  void ImageEx1Click();
  void ImageEx2Click();
  // A click on the row's mark or expander icon.
  void ToggleMark(int row);
  void ToggleExpander(int row);
  void StartupListViewDblClick(int selectedRow) { ToggleExpander(selectedRow); }
  void SetRestoreChecked(int row, bool checked);

  // The action buttons: "Enable Select", "Disable Select", "Remove Select", "Restore Item".
  void OpenPathBtnClick();
  void DeleteItemBtnClick();
  void BtRemoveClick();
  void RestoreBtnClick();

  const std::vector<StartupRow>& Rows() const { return rows_; }
  const std::vector<RestoreRow>& RestoreRows() const { return restoreRows_; }
  const std::vector<TFolderData>& FolderRecords() const { return folderData_; }
  const std::vector<TWinIniData>& WinIniRecords() const { return winIni_; }
  const std::vector<TFilInfoeRecord>& Details() const { return details_; }
  Page ShownPage() const { return page_; }
  bool ActionButtonsEnabled() const { return page_ == Page::Startup; }
  bool RestoreButtonEnabled() const { return page_ == Page::Restoral; }
  // The folder beside the executable that holds the records ("...\RepairBackup").
  const std::string& StorageFolder() const { return storage_; }

 private:
  void ListFolders();
  void ListRunKeys();
  void ListWinIni();
  void ListDisabledRecords();
  void FillRestoreList();
  std::string StatusOf(const std::string& location, const std::string& name, const std::string& data);

  // The steps of the actions, each leaving nothing lost when one of its operations fails.
  bool TakeFolderFile(const StartupRow& row, bool disable);
  bool TakeRegistryValue(const StartupRow& row, RecordFile& into);
  bool PutFileBack(const std::string& source, const std::string& copy, const std::string& recordLine);
  bool PutValueBack(const std::string& line, RecordFile& from);
  // A copy path in the copy folder that nothing occupies: "name.ext", then "name (2).ext", ...
  std::string FreeCopyPath(const std::string& fileName);
  bool SameSize(const std::string& a, const std::string& b);

  Platform& platform_;
  IPrompts& prompts_;
  IMessagePump& pump_;
  TAppObj reader_;
  std::string storage_, copyFolder_;
  RecordFile startupDat_, removeDat_, delTxt_;
  ValueExports exports_;
  std::vector<TFolderData> startupFolders_;
  std::vector<TFolderData> folderData_;
  std::vector<TWinIniData> winIni_;
  std::vector<TFilInfoeRecord> details_;
  std::vector<StartupRow> rows_;
  std::vector<RestoreRow> restoreRows_;
  Page page_ = Page::Startup;
};

}  // namespace tw
