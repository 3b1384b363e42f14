#include "simoffice/sim_add_ins.h"

#include <algorithm>

#include <oleauto.h>

#include "platform/win32/bstr.h"
#include "platform/win32/registry_key.h"
#include "platform/win32/system_error.h"
#include "platform/win32/wide_text.h"
#include "simoffice/sim_application.h"
#include "simoffice/sim_names.h"

namespace trelvo::simoffice {
namespace {

using win32::RegistryKey;

// The empty custom array that Office passes to every IDTExtensibility2 call.
class CustomArray {
 public:
  CustomArray() : array_(SafeArrayCreateVector(VT_VARIANT, 0, 0)) {}
  ~CustomArray() { SafeArrayDestroy(array_); }
  CustomArray(const CustomArray&) = delete;
  CustomArray& operator=(const CustomArray&) = delete;
  SAFEARRAY** get() { return &array_; }

 private:
  SAFEARRAY* array_;
};

// The description of the calling thread's error information, if any.
std::string ErrorDescription(HRESULT hr) {
  Microsoft::WRL::ComPtr<IErrorInfo> info;
  win32::Bstr description;
  if (GetErrorInfo(0, &info) == S_OK && SUCCEEDED(info->GetDescription(description.out())) && description.get())
    return win32::Narrow(description.str());
  return win32::SystemMessage(hr);
}

// The add-in's object by its ProgID. Windows reads the classes of the user
// (HKEY_CURRENT_USER\Software\Classes) before the machine's; Wine's COM reads
// only the machine's, so a class registered for the user alone is created
// here from its registered in-process server, as Windows would.
HRESULT CreateAddIn(const std::string& prog_id, Microsoft::WRL::ComPtr<IDTExtensibility2>& add_in) {
  CLSID class_id{};
  HRESULT hr = CLSIDFromProgID(win32::Widen(prog_id).c_str(), &class_id);
  if (SUCCEEDED(hr)) hr = CoCreateInstance(class_id, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&add_in));
  if (SUCCEEDED(hr)) return hr;
  const std::wstring classes = L"Software\\Classes\\";
  const auto id = RegistryKey::Open(HKEY_CURRENT_USER, classes + win32::Widen(prog_id) + L"\\Clsid").GetString(L"");
  if (!id || FAILED(CLSIDFromString(id->c_str(), &class_id))) return hr;
  const auto server =
      RegistryKey::Open(HKEY_CURRENT_USER, classes + L"CLSID\\" + *id + L"\\InprocServer32").GetString(L"");
  // The library stays loaded for the rest of the process, as COM keeps the servers it loaded.
  const HMODULE library = server ? LoadLibraryW(server->c_str()) : nullptr;
  using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
  const auto get_class_object =
      library ? reinterpret_cast<GetClassObject>(reinterpret_cast<void*>(GetProcAddress(library, "DllGetClassObject")))
              : nullptr;
  Microsoft::WRL::ComPtr<IClassFactory> factory;
  if (!get_class_object || FAILED(get_class_object(class_id, IID_PPV_ARGS(&factory)))) return hr;
  return factory->CreateInstance(nullptr, IID_PPV_ARGS(&add_in));
}

}  // namespace

SimAddIns::SimAddIns(SimApplication& application, std::string host_name)
    : application_(application), host_name_(std::move(host_name)) {}

SimAddIns::~SimAddIns() {
  for (auto& entry : entries) entry->host = nullptr;
}

// Office reads a user's add-in key over the machine's value by value: a key
// under HKEY_CURRENT_USER without LoadBehavior (an add-in's own records, say)
// does not hide a machine-wide registration.
void SimAddIns::LoadAtStart() {
  const std::wstring key = L"Software\\Microsoft\\Office\\" + win32::Widen(host_name_) + L"\\AddIns";
  std::vector<std::wstring> prog_ids;
  for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
    const auto add_ins = RegistryKey::Open(root, key);
    if (!add_ins) continue;
    for (const std::wstring& prog_id : add_ins.SubkeyNames())
      if (std::none_of(prog_ids.begin(), prog_ids.end(),
                       [&](const std::wstring& known) { return SameName(win32::Narrow(known), win32::Narrow(prog_id)); }))
        prog_ids.push_back(prog_id);
  }
  for (const std::wstring& prog_id : prog_ids) {
    const auto user = RegistryKey::Open(HKEY_CURRENT_USER, key + L"\\" + prog_id);
    const auto machine = RegistryKey::Open(HKEY_LOCAL_MACHINE, key + L"\\" + prog_id);
    const auto text = [&](const wchar_t* name) {
      auto value = user ? user.GetString(name) : std::nullopt;
      if (!value && machine) value = machine.GetString(name);
      return win32::Narrow(value.value_or(L""));
    };
    auto load_behavior = user ? user.GetDword(L"LoadBehavior") : std::nullopt;
    if (!load_behavior && machine) load_behavior = machine.GetDword(L"LoadBehavior");
    entries.push_back(Make<SimComAddIn>(application_.source(), win32::Narrow(prog_id), text(L"Description"), this));
    if (load_behavior.value_or(0) == 3) Connect(*entries.back().Get(), ext_cm_Startup);
  }
}

void SimAddIns::Connect(SimComAddIn& entry, ext_ConnectMode mode) {
  if (entry.connected()) return;
  CustomArray custom;
  Microsoft::WRL::ComPtr<IDTExtensibility2> add_in;
  HRESULT hr = CreateAddIn(entry.prog_id(), add_in);
  if (SUCCEEDED(hr)) hr = add_in->OnConnection(application_.dispatch(), mode, entry.dispatch(), custom.get());
  if (FAILED(hr)) return Fail(entry, hr);
  entry.add_in = add_in;
  entry.SetConnected(true);
  add_in->OnAddInsUpdate(custom.get());
  // Hosts with the ribbon ask for the markup before start-up is complete, and
  // show it then or once the add-in has started; the answers are kept until
  // the add-in invalidates them.
  Microsoft::WRL::ComPtr<IRibbonExtensibility> ribbon;
  Microsoft::WRL::ComPtr<IDispatch> callbacks;
  SimRibbon* host_ribbon = application_.ribbon();
  if (host_ribbon && SUCCEEDED(add_in.As(&ribbon)) && SUCCEEDED(add_in.As(&callbacks))) {
    win32::Bstr id(host_name_ == "Excel" ? L"Microsoft.Excel.Workbook" : L"Microsoft.Word.Document");
    win32::Bstr markup;
    if (SUCCEEDED(ribbon->GetCustomUI(id.get(), markup.out()))) entry.ribbon_markup = win32::Narrow(markup.str());
    host_ribbon->Load(callbacks.Get(), entry.ribbon_markup);
    if (application_.ribbon_at_custom_ui) host_ribbon->Show(callbacks.Get());
  }
  if (mode == ext_cm_Startup) add_in->OnStartupComplete(custom.get());
  if (host_ribbon && callbacks) host_ribbon->Show(callbacks.Get());
}

void SimAddIns::LeaveRibbon(IDTExtensibility2& add_in) {
  Microsoft::WRL::ComPtr<IDispatch> callbacks;
  if (application_.ribbon() && SUCCEEDED(add_in.QueryInterface(IID_PPV_ARGS(&callbacks))))
    application_.ribbon()->Unload(callbacks.Get());
}

// A failed load is recorded for the user, as Office does: LoadBehavior 2 under
// HKEY_CURRENT_USER, over a machine-wide 3.
void SimAddIns::Fail(SimComAddIn& entry, HRESULT hr) {
  failures.push_back(entry.prog_id() + ": " + ErrorDescription(hr));
  const auto key = RegistryKey::Create(
      HKEY_CURRENT_USER,
      L"Software\\Microsoft\\Office\\" + win32::Widen(host_name_) + L"\\AddIns\\" + win32::Widen(entry.prog_id()));
  if (key) key.SetDword(L"LoadBehavior", 2);
}

void SimAddIns::Disconnect(SimComAddIn& entry, ext_DisconnectMode mode) {
  if (!entry.connected()) return;
  CustomArray custom;
  const auto add_in = std::move(entry.add_in);
  entry.SetConnected(false);
  LeaveRibbon(*add_in.Get());
  add_in->OnDisconnection(mode, custom.get());
  entry.DropObject();
}

void SimAddIns::ShutDown() {
  CustomArray custom;
  for (auto& entry : entries)
    if (entry->connected()) entry->add_in->OnBeginShutdown(custom.get());
  for (auto& entry : entries) {
    if (!entry->connected()) continue;
    const auto add_in = std::move(entry->add_in);
    entry->SetConnected(false);
    LeaveRibbon(*add_in.Get());
    add_in->OnDisconnection(ext_dm_HostShutdown, custom.get());
    entry->DropObject();
  }
}

SimComAddIn* SimAddIns::Find(const std::string& prog_id) const {
  for (const auto& entry : entries)
    if (SameName(entry->prog_id(), prog_id)) return entry.Get();
  return nullptr;
}

Variant SimAddIns::Collection() {
  return ObjectValue(Make<SimCollection>(
                         application_.source(), [this] { return static_cast<long>(entries.size()); },
                         [this](const Variant& index) {
                           SimComAddIn* entry =
                               index.type() == VT_BSTR ? Find(index.ToText()) : AtPosition(entries, index);
                           if (!entry) throw OfficeError("Index außerhalb des gültigen Bereichs");
                           return ObjectValue(entry);
                         })
                         .Get());
}

}  // namespace trelvo::simoffice
