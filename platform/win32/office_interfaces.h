#pragma once
// Office interfaces that MinGW's headers lack, declared from their published
// interface ids and method order.
#include <windows.h>
#include <oaidl.h>

// The ribbon's handle to the add-in's part of it (the onLoad callback's argument).
MIDL_INTERFACE("000C03A7-0000-0000-C000-000000000046")
IRibbonUI : public IDispatch {
  virtual HRESULT STDMETHODCALLTYPE Invalidate() = 0;
  virtual HRESULT STDMETHODCALLTYPE InvalidateControl(BSTR control_id) = 0;
};
__CRT_UUID_DECL(IRibbonUI, 0x000C03A7, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46)

// The control that a ribbon callback concerns.
MIDL_INTERFACE("000C0395-0000-0000-C000-000000000046")
IRibbonControl : public IDispatch {
  virtual HRESULT STDMETHODCALLTYPE get_Id(BSTR * id) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Context(IDispatch * *context) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Tag(BSTR * tag) = 0;
};
__CRT_UUID_DECL(IRibbonControl, 0x000C0395, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46)

// How a host connects an add-in (ext_ConnectMode) and disconnects it (ext_DisconnectMode).
enum ext_ConnectMode { ext_cm_AfterStartup = 0, ext_cm_Startup = 1, ext_cm_External = 2, ext_cm_CommandLine = 3 };
enum ext_DisconnectMode { ext_dm_HostShutdown = 0, ext_dm_UserClosed = 1 };

// The connection of a COM add-in to its host; the host calls it early-bound.
MIDL_INTERFACE("B65AD801-ABAF-11D0-BB8B-00A0C90F2744")
IDTExtensibility2 : public IDispatch {
  virtual HRESULT STDMETHODCALLTYPE OnConnection(IDispatch * application, ext_ConnectMode mode, IDispatch * add_in,
                                                 SAFEARRAY * *custom) = 0;
  virtual HRESULT STDMETHODCALLTYPE OnDisconnection(ext_DisconnectMode mode, SAFEARRAY * *custom) = 0;
  virtual HRESULT STDMETHODCALLTYPE OnAddInsUpdate(SAFEARRAY * *custom) = 0;
  virtual HRESULT STDMETHODCALLTYPE OnStartupComplete(SAFEARRAY * *custom) = 0;
  virtual HRESULT STDMETHODCALLTYPE OnBeginShutdown(SAFEARRAY * *custom) = 0;
};
__CRT_UUID_DECL(IDTExtensibility2, 0xB65AD801, 0xABAF, 0x11D0, 0xBB, 0x8B, 0x00, 0xA0, 0xC9, 0x0F, 0x27, 0x44)

// The ribbon markup of an add-in, asked for by ribbon id.
MIDL_INTERFACE("000C0396-0000-0000-C000-000000000046")
IRibbonExtensibility : public IDispatch {
  virtual HRESULT STDMETHODCALLTYPE GetCustomUI(BSTR ribbon_id, BSTR * markup) = 0;
};
__CRT_UUID_DECL(IRibbonExtensibility, 0x000C0396, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46)

// Where a host offers its task pane factory (ICTPFactory, taken as IDispatch).
MIDL_INTERFACE("000C033E-0000-0000-C000-000000000046")
ICustomTaskPaneConsumer : public IDispatch {
  virtual HRESULT STDMETHODCALLTYPE CTPFactoryAvailable(IDispatch * factory) = 0;
};
__CRT_UUID_DECL(ICustomTaskPaneConsumer, 0x000C033E, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46)

namespace trelvo::office {

// Interface ids of Office's object models, answered through IDispatch.
inline constexpr IID kExcelApplication = {0x000208D5, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID kWordApplication = {0x00020970, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID kWordApplicationEvents4 = {0x00020A01, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID kComAddIn = {0x000C033A, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID kCommandBars = {0x000C0302, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID kCommandBar = {0x000C0304, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID kCommandBarControls = {0x000C0306, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID kCommandBarControl = {0x000C0308, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID kCommandBarPopup = {0x000C030A, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID kCommandBarComboBox = {0x000C030C, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID kCommandBarButton = {0x000C030E, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID kCommandBarButtonEvents = {0x000C0351, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID kCommandBarComboBoxEvents = {0x000C0354, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

// Word's application events (ApplicationEvents4).
inline constexpr DISPID kDocumentChangeEvent = 3;
inline constexpr DISPID kDocumentOpenEvent = 4;
inline constexpr DISPID kNewDocumentEvent = 9;
inline constexpr DISPID kWindowActivateEvent = 10;
// Click of _CommandBarButtonEvents and Change of _CommandBarComboBoxEvents.
inline constexpr DISPID kControlEvent = 1;

// Command bar control types (MsoControlType).
inline constexpr long kControlButton = 1;
inline constexpr long kControlEdit = 2;
inline constexpr long kControlDropdown = 3;
inline constexpr long kControlComboBox = 4;
inline constexpr long kControlPopup = 10;

}  // namespace trelvo::office
