// SimOffice.dll registered under Excel's and Word's ProgIDs: a host is then
// "installed" (its ProgID resolves to a class id), can be created by ProgID,
// and a created host is found as the running instance until it quits.
#include <gtest/gtest.h>

#include <windows.h>
#include <oleauto.h>

#include "platform/win32/office_interfaces.h"
#include "platform/win32/dispatch_object.h"
#include "platform/win32/registry_key.h"
#include "tests/support/child_process.h"

namespace trelvo {
namespace {

using Microsoft::WRL::ComPtr;

int Regsvr32(bool unregister) {
  std::vector<std::string> args = {"/s", testing::ProgramFolder() + "SimOffice.dll"};
  if (unregister) args.insert(args.begin(), "/u");
  return testing::StartChild("regsvr32.exe", args)->Wait();
}

class RegisteredHosts : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_EQ(Regsvr32(false), 0); }
  static void TearDownTestSuite() { Regsvr32(true); }
  void SetUp() override {
    win32::DeleteRegistryTree(HKEY_CURRENT_USER, L"Software\\SimOffice");  // the hosts' defaults (version 11.0)
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
  }
  void TearDown() override { CoUninitialize(); }

  static ComPtr<IUnknown> Running(const CLSID& class_id) {
    ComPtr<IUnknown> running;
    if (FAILED(GetActiveObject(class_id, nullptr, &running))) return nullptr;
    return running;
  }
};

struct HostCase {
  const wchar_t* prog_id;
  const char* current_version;
  const IID& application_iid;
};

TEST_F(RegisteredHosts, ACreatedHostIsTheRunningInstanceUntilItQuits) {
  for (const HostCase& host : {HostCase{L"Excel.Application", "Excel.Application.11", office::kExcelApplication},
                               HostCase{L"Word.Application", "Word.Application.11", office::kWordApplication}}) {
    CLSID class_id{};
    ASSERT_EQ(CLSIDFromProgID(host.prog_id, &class_id), S_OK);
    const auto cur_ver = win32::RegistryKey::Open(HKEY_CLASSES_ROOT, std::wstring(host.prog_id) + L"\\CurVer");
    ASSERT_TRUE(cur_ver);
    EXPECT_EQ(cur_ver.GetString(L""),
              std::wstring(host.current_version, host.current_version + strlen(host.current_version)));
    EXPECT_EQ(Running(class_id), nullptr);

    ComPtr<IDispatch> application;
    ASSERT_EQ(
        CoCreateInstance(class_id, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IID_PPV_ARGS(&application)),
        S_OK);
    ComPtr<IUnknown> typed;
    EXPECT_EQ(application->QueryInterface(host.application_iid, reinterpret_cast<void**>(typed.GetAddressOf())), S_OK);
    const win32::DispatchObject late_bound(application);
    EXPECT_EQ(late_bound.Get("Version").ToText(), "11.0");

    ComPtr<IUnknown> identity;
    application.As(&identity);
    EXPECT_EQ(Running(class_id), identity);
    late_bound.Call("Quit");
    EXPECT_EQ(Running(class_id), nullptr);
  }
}

TEST(UnregisteredHosts, LeaveNoProgIdBehind) {
  ASSERT_EQ(Regsvr32(false), 0);
  ASSERT_EQ(Regsvr32(true), 0);
  CLSID class_id{};
  EXPECT_NE(CLSIDFromProgID(L"Excel.Application", &class_id), S_OK);
  EXPECT_NE(CLSIDFromProgID(L"Word.Application", &class_id), S_OK);
}

}  // namespace
}  // namespace trelvo
