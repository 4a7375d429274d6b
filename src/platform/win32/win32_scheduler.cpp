#include <windows.h>
#include <mstask.h>
#include <objidl.h>

#include "platform/win32/win32_scheduler.h"

#include <cstring>

#include "platform/ansi_case.h"
#include "platform/win32/exact_ansi.h"

namespace tw {
namespace {

// A name or text from the scheduler in the ANSI code page (characters it lacks become what the page makes of
// them: such a text is only shown or compared).
std::string AnsiOf(const wchar_t* text) {
  if (!text) return std::string();
  const size_t count = wcslen(text);
  std::string ansi;
  if (ExactAnsi(text, count, &ansi)) return ansi;
  const int n = WideCharToMultiByte(CP_ACP, 0, text, static_cast<int>(count), nullptr, 0, nullptr, nullptr);
  ansi.assign(static_cast<size_t>(n > 0 ? n : 0), '\0');
  if (n > 0) WideCharToMultiByte(CP_ACP, 0, text, static_cast<int>(count), ansi.data(), n, nullptr, nullptr);
  return ansi;
}

// Calls a getter that hands out a task-allocated string, and frees it.
template <typename Getter>
HRESULT GetText(Getter getter, std::string* out) {
  LPWSTR text = nullptr;
  const HRESULT hr = getter(&text);
  if (SUCCEEDED(hr)) *out = AnsiOf(text);
  CoTaskMemFree(text);
  return hr;
}

// The name the scheduler's calls take: without the ".job" the enumeration shows (the scheduler adds it; Wine
// refuses a name with a dot at all).
std::wstring CallName(const std::string& name) {
  const size_t n = name.size();
  if (n > 4 && EqualNoCase(std::string_view(name).substr(n - 4), ".job")) return WideOf(name.substr(0, n - 4));
  return WideOf(name);
}

TaskTrigger FromNative(const TASK_TRIGGER& native) {
  TaskTrigger t;
  t.size = native.cbTriggerSize;
  t.reserved1 = native.Reserved1;
  t.beginYear = native.wBeginYear;
  t.beginMonth = native.wBeginMonth;
  t.beginDay = native.wBeginDay;
  t.endYear = native.wEndYear;
  t.endMonth = native.wEndMonth;
  t.endDay = native.wEndDay;
  t.startHour = native.wStartHour;
  t.startMinute = native.wStartMinute;
  t.minutesDuration = native.MinutesDuration;
  t.minutesInterval = native.MinutesInterval;
  t.flags = native.rgFlags;
  t.triggerType = static_cast<uint32_t>(native.TriggerType);
  static_assert(sizeof native.Type >= sizeof t.typeWords);
  std::memcpy(t.typeWords, &native.Type, sizeof t.typeWords);
  t.reserved2 = native.Reserved2;
  t.randomMinutesInterval = native.wRandomMinutesInterval;
  return t;
}

TASK_TRIGGER ToNative(const TaskTrigger& t) {
  static_assert(sizeof(TASK_TRIGGER) == 48);
  TASK_TRIGGER native{};
  native.cbTriggerSize = t.size;
  native.Reserved1 = t.reserved1;
  native.wBeginYear = t.beginYear;
  native.wBeginMonth = t.beginMonth;
  native.wBeginDay = t.beginDay;
  native.wEndYear = t.endYear;
  native.wEndMonth = t.endMonth;
  native.wEndDay = t.endDay;
  native.wStartHour = t.startHour;
  native.wStartMinute = t.startMinute;
  native.MinutesDuration = t.minutesDuration;
  native.MinutesInterval = t.minutesInterval;
  native.rgFlags = t.flags;
  native.TriggerType = static_cast<TASK_TRIGGER_TYPE>(t.triggerType);
  std::memcpy(&native.Type, t.typeWords, sizeof t.typeWords);
  native.Reserved2 = t.reserved2;
  native.wRandomMinutesInterval = t.randomMinutesInterval;
  return native;
}

class Win32WorkItem : public IWorkItem {
 public:
  explicit Win32WorkItem(ITask* task) : task_(task) {}
  Win32WorkItem(const Win32WorkItem&) = delete;
  Win32WorkItem& operator=(const Win32WorkItem&) = delete;
  ~Win32WorkItem() override { task_->Release(); }

  SchedulerResult Read(WorkItemProperties* p) override {
    HRESULT first = S_OK;
    auto keep = [&first](HRESULT hr) {
      if (FAILED(hr) && SUCCEEDED(first)) first = hr;
    };
    keep(GetText([this](LPWSTR* s) { return task_->GetApplicationName(s); }, &p->applicationName));
    keep(GetText([this](LPWSTR* s) { return task_->GetWorkingDirectory(s); }, &p->workingDirectory));
    keep(GetText([this](LPWSTR* s) { return task_->GetParameters(s); }, &p->parameters));
    DWORD flags = 0;
    keep(task_->GetFlags(&flags));
    p->flags = flags;
    keep(GetText([this](LPWSTR* s) { return task_->GetComment(s); }, &p->comment));
    p->account.clear();
    GetText([this](LPWSTR* s) { return task_->GetAccountInformation(s); }, &p->account);
    DWORD taskFlags = 0;
    keep(task_->GetTaskFlags(&taskFlags));
    p->taskFlags = taskFlags;
    return first;
  }

  SchedulerResult SetProperties(const WorkItemProperties& p) override {
    HRESULT first = S_OK;
    auto keep = [&first](HRESULT hr) {
      if (FAILED(hr) && SUCCEEDED(first)) first = hr;
    };
    keep(task_->SetApplicationName(WideOf(p.applicationName).c_str()));
    keep(task_->SetWorkingDirectory(WideOf(p.workingDirectory).c_str()));
    keep(task_->SetParameters(WideOf(p.parameters).c_str()));
    keep(task_->SetFlags(p.flags));
    keep(task_->SetComment(WideOf(p.comment).c_str()));
    keep(task_->SetAccountInformation(WideOf(p.account).c_str(), nullptr));
    keep(task_->SetTaskFlags(p.taskFlags));
    return first;
  }

  SchedulerResult GetTrigger0(TaskTrigger* trigger) override {
    WORD count = 0;
    HRESULT hr = task_->GetTriggerCount(&count);
    if (FAILED(hr)) return hr;
    if (count == 0) return kSchedulerTriggerNotFound;
    ITaskTrigger* native = nullptr;
    hr = task_->GetTrigger(0, &native);
    if (FAILED(hr)) return hr;
    TASK_TRIGGER record{};
    record.cbTriggerSize = sizeof record;
    hr = native->GetTrigger(&record);
    native->Release();
    if (SUCCEEDED(hr)) *trigger = FromNative(record);
    return hr;
  }

  SchedulerResult SetTrigger0(const TaskTrigger& trigger) override {
    WORD count = 0;
    HRESULT hr = task_->GetTriggerCount(&count);
    if (FAILED(hr)) return hr;
    ITaskTrigger* native = nullptr;
    WORD index = 0;
    hr = count == 0 ? task_->CreateTrigger(&index, &native) : task_->GetTrigger(0, &native);
    if (FAILED(hr)) return hr;
    TASK_TRIGGER record = ToNative(trigger);
    hr = native->SetTrigger(&record);
    native->Release();
    return hr;
  }

  SchedulerResult Save() override {
    IPersistFile* file = nullptr;
    if (FAILED(task_->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) || !file)
      return kSchedulerNoInterface;
    const HRESULT hr = file->Save(nullptr, TRUE);
    file->Release();
    return hr;
  }

 private:
  ITask* task_;
};

}  // namespace

Win32Scheduler::~Win32Scheduler() {
  if (scheduler_) scheduler_->Release();
  if (comStarted_) CoUninitialize();
}

SchedulerResult Win32Scheduler::Connect() {
  if (scheduler_) return S_OK;
  if (!comStarted_) comStarted_ = SUCCEEDED(CoInitialize(nullptr));
  return CoCreateInstance(CLSID_CTaskScheduler, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskScheduler,
                          reinterpret_cast<void**>(&scheduler_));
}

SchedulerResult Win32Scheduler::EnumWorkItems(const std::function<bool(const std::string& name)>& visit) {
  if (!scheduler_) return E_POINTER;
  IEnumWorkItems* items = nullptr;
  HRESULT hr = scheduler_->Enum(&items);
  if (FAILED(hr)) return hr;
  for (;;) {
    LPWSTR* names = nullptr;
    ULONG fetched = 0;
    hr = items->Next(1, &names, &fetched);
    if (hr != S_OK || fetched == 0 || !names) {
      CoTaskMemFree(names);
      break;
    }
    const std::string name = AnsiOf(names[0]);
    CoTaskMemFree(names[0]);
    CoTaskMemFree(names);
    if (!visit(name)) break;
  }
  items->Release();
  return SUCCEEDED(hr) ? S_OK : hr;
}

SchedulerResult Win32Scheduler::Activate(const std::string& name, std::unique_ptr<IWorkItem>* item) {
  if (!scheduler_) return E_POINTER;
  IUnknown* task = nullptr;
  const HRESULT hr = scheduler_->Activate(CallName(name).c_str(), IID_ITask, &task);
  if (FAILED(hr)) return hr;
  *item = std::make_unique<Win32WorkItem>(static_cast<ITask*>(task));
  return hr;
}

SchedulerResult Win32Scheduler::NewWorkItem(const std::string& name, std::unique_ptr<IWorkItem>* item) {
  if (!scheduler_) return E_POINTER;
  const std::wstring callName = CallName(name);
  IUnknown* task = nullptr;
  // Windows refuses a name that is taken; Wine would hand out an empty item that overwrites the old one.
  if (SUCCEEDED(scheduler_->Activate(callName.c_str(), IID_ITask, &task))) {
    task->Release();
    return HRESULT_FROM_WIN32(ERROR_FILE_EXISTS);
  }
  const HRESULT hr = scheduler_->NewWorkItem(callName.c_str(), CLSID_CTask, IID_ITask, &task);
  if (FAILED(hr)) return hr;
  *item = std::make_unique<Win32WorkItem>(static_cast<ITask*>(task));
  return hr;
}

SchedulerResult Win32Scheduler::Delete(const std::string& name) {
  if (!scheduler_) return E_POINTER;
  const std::wstring callName = CallName(name);
  // The scheduler's service reads an item's file when it changes: a file saved a moment ago can still be open.
  HRESULT hr = scheduler_->Delete(callName.c_str());
  for (int tries = 0; hr == HRESULT_FROM_WIN32(ERROR_SHARING_VIOLATION) && tries < 20; ++tries) {
    Sleep(50);
    hr = scheduler_->Delete(callName.c_str());
  }
  return hr;
}

}  // namespace tw
