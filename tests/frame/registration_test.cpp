// Trelvo.dll as the system sees it: registered and unregistered by regsvr32,
// created by a VBScript through its ProgID, its members resolved by name.
#include <gtest/gtest.h>

#include <fstream>
#include <windows.h>
#include <oleauto.h>
#include <wrl/client.h>

#include "Trelvo_h.h"
#include "frame/registration.h"
#include "platform/error.h"
#include "platform/win32/registry_key.h"
#include "platform/win32/wide_text.h"
#include "tests/support/child_process.h"

namespace trelvo {
namespace {

using Microsoft::WRL::ComPtr;
using win32::Narrow;
using win32::RegistryKey;
using win32::Widen;

const std::wstring kClassKey = L"CLSID\\{BFE216C7-D241-4767-A79A-7FAB841715E5}";
const std::wstring kDescription = L"Trelvo Rechnungsnummern Add-in";

std::wstring DllPath() { return Widen(testing::ProgramFolder()) + L"Trelvo.dll"; }

int Regsvr32(const std::wstring& dll, bool unregister) {
  std::vector<std::string> args = {"/s", Narrow(dll)};
  if (unregister) args.insert(args.begin(), "/u");
  return testing::StartChild("regsvr32.exe", args)->Wait();
}

std::optional<std::wstring> ClassValue(const std::wstring& key, const std::wstring& name = L"") {
  const auto opened = RegistryKey::Open(HKEY_CLASSES_ROOT, key);
  if (!opened) return std::nullopt;
  return opened.GetString(name);
}

bool TypeLibraryRegistered() {
  BSTR path = nullptr;
  const HRESULT hr = QueryPathOfRegTypeLib(LIBID_Trelvo, 1, 0, 0x0409, &path);
  SysFreeString(path);
  return SUCCEEDED(hr);
}

struct ClassRow {
  std::wstring key;
  std::wstring name;
};
const ClassRow kRows[] = {
    {kClassKey, L""},
    {kClassKey + L"\\InprocServer32", L""},
    {kClassKey + L"\\InprocServer32", L"ThreadingModel"},
    {L"Trelvo.TrelvoCoClass", L""},
    {L"Trelvo.TrelvoCoClass\\Clsid", L""},
    {kClassKey + L"\\ProgID", L""},
    {kClassKey + L"\\Version", L""},
    {kClassKey + L"\\TypeLib", L""},
};

TEST(Registration, Regsvr32WritesEveryClassEntryAndUnregistrationRemovesThem) {
  ASSERT_EQ(Regsvr32(DllPath(), false), 0);

  EXPECT_EQ(ClassValue(kRows[0].key), kDescription);
  EXPECT_EQ(ClassValue(kRows[1].key), DllPath());
  EXPECT_EQ(ClassValue(kRows[2].key, kRows[2].name), L"Apartment");
  EXPECT_EQ(ClassValue(kRows[3].key), kDescription);
  EXPECT_EQ(ClassValue(kRows[4].key), L"{BFE216C7-D241-4767-A79A-7FAB841715E5}");
  EXPECT_EQ(ClassValue(kRows[5].key), L"Trelvo.TrelvoCoClass");
  EXPECT_EQ(ClassValue(kRows[6].key), L"1.0");
  EXPECT_EQ(ClassValue(kRows[7].key), L"{39CD8E9A-C147-4E28-9060-03AD4017BCE5}");
  EXPECT_TRUE(TypeLibraryRegistered());

  ASSERT_EQ(Regsvr32(DllPath(), true), 0);
  for (const auto& row : kRows) EXPECT_FALSE(ClassValue(row.key, row.name));
  EXPECT_FALSE(RegistryKey::Open(HKEY_CLASSES_ROOT, kClassKey));
  EXPECT_FALSE(RegistryKey::Open(HKEY_CLASSES_ROOT, L"Trelvo.TrelvoCoClass"));
  EXPECT_FALSE(TypeLibraryRegistered());
}

TEST(Registration, LibraryInAFolderWithABlankIsRegisteredByItsShortPath) {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::wstring folder = std::wstring(temp) + L"Trelvo Installation";
  CreateDirectoryW(folder.c_str(), nullptr);
  const std::wstring copy = folder + L"\\Trelvo.dll";
  ASSERT_TRUE(CopyFileW(DllPath().c_str(), copy.c_str(), FALSE));

  ASSERT_EQ(Regsvr32(copy, false), 0);
  const auto server = ClassValue(kClassKey + L"\\InprocServer32");
  EXPECT_EQ(Regsvr32(copy, true), 0);
  DeleteFileW(copy.c_str());
  RemoveDirectoryW(folder.c_str());

  ASSERT_TRUE(server);
  EXPECT_EQ(server->find(L' '), std::wstring::npos) << "the registered path still has a blank";
  EXPECT_NE(*server, copy);
  EXPECT_EQ(frame::ServerPathForRegistry(L"C:\\windows\\system32\\ole32.dll"), L"C:\\windows\\system32\\ole32.dll");
}

// Unregistration must not report success while entries stay behind.
TEST(Registration, AnEntryThatCannotBeDeletedFailsTheUnregistration) {
  const auto key = RegistryKey::Create(HKEY_CURRENT_USER, L"Software\\Classes\\TrelvoTestClasses");
  ASSERT_TRUE(key);
  // A root that the registry refuses (its handle is closed) stands for a key
  // that cannot be deleted; a missing entry alone is passed over.
  HKEY closed = nullptr;
  ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"Software", 0, KEY_READ, &closed), ERROR_SUCCESS);
  RegCloseKey(closed);
  EXPECT_NO_THROW(frame::DeleteClassEntries({key.get(), L""}));
  EXPECT_THROW(frame::DeleteClassEntries({closed, L""}), Error);
  win32::DeleteRegistryTree(HKEY_CURRENT_USER, L"Software\\Classes\\TrelvoTestClasses");
}

class RegisteredServer : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_EQ(Regsvr32(DllPath(), false), 0); }
  static void TearDownTestSuite() { Regsvr32(DllPath(), true); }
  void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))); }
  void TearDown() override { CoUninitialize(); }
};

TEST_F(RegisteredServer, VbscriptCreatesTheObjectByItsProgId) {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::wstring script = std::wstring(temp) + L"trelvo_create.vbs";
  {
    std::ofstream out(script.c_str(), std::ios::binary);
    out << "Set o = CreateObject(\"Trelvo.TrelvoCoClass\")\r\n"
           "If TypeName(o) <> \"ITrelvoCoClass\" Then WScript.Quit 2\r\n"
           "WScript.Quit 7\r\n";
  }
  EXPECT_EQ(testing::StartChild("cscript.exe", {"//nologo", Narrow(script)})->Wait(),
            7);  // 7: the script ran to its end
  DeleteFileW(script.c_str());
}

TEST_F(RegisteredServer, MemberNamesResolveToTheirDispatchIdsWithoutRegardToCase) {
  CLSID class_id{};
  ASSERT_EQ(CLSIDFromProgID(L"Trelvo.TrelvoCoClass", &class_id), S_OK);
  ComPtr<IDispatch> object;
  ASSERT_EQ(CoCreateInstance(class_id, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&object)), S_OK);

  struct Case {
    const wchar_t* name;
    DISPID id;
  };
  for (const Case& c : {Case{L"ReadCounter", 201}, Case{L"SetCounter", 202}, Case{L"SetIniFile", 203},
                        Case{L"readcounter", 201}, Case{L"SETINIFILE", 203}}) {
    LPOLESTR names[] = {const_cast<LPOLESTR>(c.name)};
    DISPID id = 0;
    EXPECT_EQ(object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id), S_OK) << c.id;
    EXPECT_EQ(id, c.id);
  }
  LPOLESTR unknown[] = {const_cast<LPOLESTR>(L"Unbekannt")};
  DISPID id = 0;
  EXPECT_EQ(object->GetIDsOfNames(IID_NULL, unknown, 1, LOCALE_USER_DEFAULT, &id), DISP_E_UNKNOWNNAME);

  ComPtr<ITrelvoCoClass> dual;
  EXPECT_EQ(object.As(&dual), S_OK);
}

TEST_F(RegisteredServer, TheLibraryCanUnloadOnceItsObjectsAreReleased) {
  const HMODULE library = LoadLibraryW(DllPath().c_str());
  ASSERT_NE(library, nullptr);
  using GetClassObject = HRESULT(WINAPI*)(REFCLSID, REFIID, void**);
  using CanUnloadNow = HRESULT(WINAPI*)();
  // Through void(*)(): the exported addresses are cast to their real signatures.
  const auto get_class_object =
      reinterpret_cast<GetClassObject>(reinterpret_cast<void (*)()>(GetProcAddress(library, "DllGetClassObject")));
  const auto can_unload_now =
      reinterpret_cast<CanUnloadNow>(reinterpret_cast<void (*)()>(GetProcAddress(library, "DllCanUnloadNow")));
  ASSERT_TRUE(get_class_object && can_unload_now);
  EXPECT_EQ(can_unload_now(), S_OK) << "before";
  {
    ComPtr<IClassFactory> factory;
    ASSERT_EQ(get_class_object(CLSID_TrelvoCoClass, IID_PPV_ARGS(&factory)), S_OK);
    ComPtr<IDispatch> object;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_PPV_ARGS(&object)), S_OK);
    EXPECT_EQ(can_unload_now(), S_FALSE);
    ComPtr<IUnknown> aggregated;
    EXPECT_EQ(factory->CreateInstance(object.Get(), IID_PPV_ARGS(&aggregated)), CLASS_E_NOAGGREGATION);
  }
  EXPECT_EQ(can_unload_now(), S_OK);
  ComPtr<IClassFactory> none;
  EXPECT_EQ(get_class_object(IID_IDispatch, IID_PPV_ARGS(&none)), CLASS_E_CLASSNOTAVAILABLE);
  FreeLibrary(library);
}

}  // namespace
}  // namespace trelvo
