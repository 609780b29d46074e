#pragma once
// The few UI Automation client interfaces the password guard uses. The mingw-w64 headers lack the
// client side, so they are declared here in their published vtable order; a method this program
// never calls keeps its slot under its own name, without parameters, and a body that a stand-in in
// a test need not repeat.
#include <windows.h>

#include <unknwn.h>

namespace spotlex::uia {

inline constexpr CLSID kClsidCUIAutomation{
    0xff48dba4, 0x60ef, 0x4201, {0xaa, 0x87, 0x54, 0x10, 0x3e, 0xef, 0x59, 0x4e}};
inline constexpr IID kIidIUIAutomation{
    0x30cbe57d, 0xd9d0, 0x452a, {0xab, 0x13, 0x7a, 0xc5, 0xac, 0x48, 0x25, 0xee}};
inline constexpr IID kIidFocusChangedEventHandler{
    0xc270f6b5, 0x5c69, 0x4290, {0x97, 0x45, 0x7a, 0x7f, 0x97, 0x16, 0x94, 0x68}};

inline constexpr int kIsPasswordPropertyId = 30019;

struct IElement : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE SetFocus() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE GetRuntimeId() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE FindFirst() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE FindAll() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE FindFirstBuildCache() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE FindAllBuildCache() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE BuildUpdatedCache() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE GetCurrentPropertyValue(int propertyId, VARIANT* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetCurrentPropertyValueEx() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE GetCachedPropertyValue(int propertyId, VARIANT* value) = 0;
};

struct ICacheRequest : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE AddProperty(int propertyId) = 0;
};

struct IFocusChangedEventHandler : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE HandleFocusChangedEvent(IElement* sender) = 0;
};

struct IAutomation : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE CompareElements() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE CompareRuntimeIds() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE GetRootElement() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE ElementFromHandle() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE ElementFromPoint() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE GetFocusedElement() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE GetRootElementBuildCache() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE ElementFromHandleBuildCache() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE ElementFromPointBuildCache() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE GetFocusedElementBuildCache(ICacheRequest* cache,
                                                                  IElement** element) = 0;
    virtual HRESULT STDMETHODCALLTYPE CreateTreeWalker() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE get_ControlViewWalker() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE get_ContentViewWalker() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE get_RawViewWalker() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE get_RawViewCondition() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE get_ControlViewCondition() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE get_ContentViewCondition() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE CreateCacheRequest(ICacheRequest** cache) = 0;
    virtual HRESULT STDMETHODCALLTYPE CreateTrueCondition() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE CreateFalseCondition() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE CreatePropertyCondition() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE CreatePropertyConditionEx() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE CreateAndCondition() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE CreateAndConditionFromArray() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE CreateAndConditionFromNativeArray() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE CreateOrCondition() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE CreateOrConditionFromArray() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE CreateOrConditionFromNativeArray() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE CreateNotCondition() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE AddAutomationEventHandler() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE RemoveAutomationEventHandler() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE AddPropertyChangedEventHandlerNativeArray() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE AddPropertyChangedEventHandler() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE RemovePropertyChangedEventHandler() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE AddStructureChangedEventHandler() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE RemoveStructureChangedEventHandler() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE AddFocusChangedEventHandler(ICacheRequest* cache,
                                                                  IFocusChangedEventHandler* handler) = 0;
    virtual HRESULT STDMETHODCALLTYPE RemoveFocusChangedEventHandler(IFocusChangedEventHandler* handler) = 0;
};

}  // namespace spotlex::uia
