#pragma once
// The few UI Automation client interfaces the password guard uses. The mingw-w64 headers lack the
// client side, so they are declared here in their published vtable order; a method this program
// never calls keeps its slot under its own name, without parameters.
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
    virtual HRESULT STDMETHODCALLTYPE SetFocus() = 0;
    virtual HRESULT STDMETHODCALLTYPE GetRuntimeId() = 0;
    virtual HRESULT STDMETHODCALLTYPE FindFirst() = 0;
    virtual HRESULT STDMETHODCALLTYPE FindAll() = 0;
    virtual HRESULT STDMETHODCALLTYPE FindFirstBuildCache() = 0;
    virtual HRESULT STDMETHODCALLTYPE FindAllBuildCache() = 0;
    virtual HRESULT STDMETHODCALLTYPE BuildUpdatedCache() = 0;
    virtual HRESULT STDMETHODCALLTYPE GetCurrentPropertyValue(int propertyId, VARIANT* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetCurrentPropertyValueEx() = 0;
    virtual HRESULT STDMETHODCALLTYPE GetCachedPropertyValue(int propertyId, VARIANT* value) = 0;
};

struct ICacheRequest : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE AddProperty(int propertyId) = 0;
};

struct IFocusChangedEventHandler : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE HandleFocusChangedEvent(IElement* sender) = 0;
};

struct IAutomation : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE CompareElements() = 0;
    virtual HRESULT STDMETHODCALLTYPE CompareRuntimeIds() = 0;
    virtual HRESULT STDMETHODCALLTYPE GetRootElement() = 0;
    virtual HRESULT STDMETHODCALLTYPE ElementFromHandle() = 0;
    virtual HRESULT STDMETHODCALLTYPE ElementFromPoint() = 0;
    virtual HRESULT STDMETHODCALLTYPE GetFocusedElement() = 0;
    virtual HRESULT STDMETHODCALLTYPE GetRootElementBuildCache() = 0;
    virtual HRESULT STDMETHODCALLTYPE ElementFromHandleBuildCache() = 0;
    virtual HRESULT STDMETHODCALLTYPE ElementFromPointBuildCache() = 0;
    virtual HRESULT STDMETHODCALLTYPE GetFocusedElementBuildCache(ICacheRequest* cache,
                                                                  IElement** element) = 0;
    virtual HRESULT STDMETHODCALLTYPE CreateTreeWalker() = 0;
    virtual HRESULT STDMETHODCALLTYPE get_ControlViewWalker() = 0;
    virtual HRESULT STDMETHODCALLTYPE get_ContentViewWalker() = 0;
    virtual HRESULT STDMETHODCALLTYPE get_RawViewWalker() = 0;
    virtual HRESULT STDMETHODCALLTYPE get_RawViewCondition() = 0;
    virtual HRESULT STDMETHODCALLTYPE get_ControlViewCondition() = 0;
    virtual HRESULT STDMETHODCALLTYPE get_ContentViewCondition() = 0;
    virtual HRESULT STDMETHODCALLTYPE CreateCacheRequest(ICacheRequest** cache) = 0;
    virtual HRESULT STDMETHODCALLTYPE CreateTrueCondition() = 0;
    virtual HRESULT STDMETHODCALLTYPE CreateFalseCondition() = 0;
    virtual HRESULT STDMETHODCALLTYPE CreatePropertyCondition() = 0;
    virtual HRESULT STDMETHODCALLTYPE CreatePropertyConditionEx() = 0;
    virtual HRESULT STDMETHODCALLTYPE CreateAndCondition() = 0;
    virtual HRESULT STDMETHODCALLTYPE CreateAndConditionFromArray() = 0;
    virtual HRESULT STDMETHODCALLTYPE CreateAndConditionFromNativeArray() = 0;
    virtual HRESULT STDMETHODCALLTYPE CreateOrCondition() = 0;
    virtual HRESULT STDMETHODCALLTYPE CreateOrConditionFromArray() = 0;
    virtual HRESULT STDMETHODCALLTYPE CreateOrConditionFromNativeArray() = 0;
    virtual HRESULT STDMETHODCALLTYPE CreateNotCondition() = 0;
    virtual HRESULT STDMETHODCALLTYPE AddAutomationEventHandler() = 0;
    virtual HRESULT STDMETHODCALLTYPE RemoveAutomationEventHandler() = 0;
    virtual HRESULT STDMETHODCALLTYPE AddPropertyChangedEventHandlerNativeArray() = 0;
    virtual HRESULT STDMETHODCALLTYPE AddPropertyChangedEventHandler() = 0;
    virtual HRESULT STDMETHODCALLTYPE RemovePropertyChangedEventHandler() = 0;
    virtual HRESULT STDMETHODCALLTYPE AddStructureChangedEventHandler() = 0;
    virtual HRESULT STDMETHODCALLTYPE RemoveStructureChangedEventHandler() = 0;
    virtual HRESULT STDMETHODCALLTYPE AddFocusChangedEventHandler(ICacheRequest* cache,
                                                                  IFocusChangedEventHandler* handler) = 0;
    virtual HRESULT STDMETHODCALLTYPE RemoveFocusChangedEventHandler(IFocusChangedEventHandler* handler) = 0;
};

}  // namespace spotlex::uia
