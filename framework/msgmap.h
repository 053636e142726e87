#pragma once
// Message maps: a static table per class, chained to its base class's table.
// Each entry carries a typed adapter that unpacks the message and calls the
// handler; no member-function pointer is ever cast to another type. A handler
// keeps its message unless it calls SetMsgHandled(FALSE), which leaves the
// message to the rest of the maps and then to the default processing.
//
//   BEGIN_MESSAGE_MAP(CMyDlg, CDialog)
//       ON_WM_SIZE()                          // calls OnSize(UINT, int, int)
//       ON_BN_CLICKED(IDC_GO, &CMyDlg::OnGo)
//   END_MESSAGE_MAP()
#include <windows.h>
#include <commctrl.h>
#include "framework/types.h"

class CWnd;
class CDC;

// Reflected messages are offered to the child control that caused them, under
// this offset, before the parent handles them itself.
constexpr UINT WM_REFLECT_BASE = 0xBC00;

using AFX_PMSG = bool (*)(CWnd* self, WPARAM wParam, LPARAM lParam, LRESULT& result);

struct AFX_MSGMAP_ENTRY {
    UINT message;  // window message, or WM_REFLECT_BASE + message
    UINT code;     // notification code (WM_COMMAND, WM_NOTIFY and their reflections)
    UINT id;       // control or command id (WM_COMMAND, WM_NOTIFY)
    AFX_PMSG handler;
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*base)();
    const AFX_MSGMAP_ENTRY* entries;  // ends with an entry whose handler is null
};

namespace afx {

template <class M> struct MemberOf;
template <class C, class R, class... A> struct MemberOf<R (C::*)(A...)> { using type = C; };

template <auto F>
auto* Self(CWnd* w) { return static_cast<typename MemberOf<decltype(F)>::type*>(w); }

CWnd* PermanentWnd(HWND hwnd);

template <auto F> bool Void(CWnd* w, WPARAM, LPARAM, LRESULT& r)
{ (Self<F>(w)->*F)(); r = 0; return true; }
template <auto F> bool Size(CWnd* w, WPARAM wp, LPARAM lp, LRESULT& r)
{ (Self<F>(w)->*F)(static_cast<UINT>(wp), static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))); r = 0; return true; }
template <auto F> bool MinMax(CWnd* w, WPARAM, LPARAM lp, LRESULT& r)
{ (Self<F>(w)->*F)(reinterpret_cast<MINMAXINFO*>(lp)); r = 0; return true; }
bool EraseBkgndCall(CWnd* w, WPARAM wp, LRESULT& r, BOOL (*call)(CWnd*, CDC*));
template <auto F> bool EraseBkgnd(CWnd* w, WPARAM wp, LPARAM, LRESULT& r)
{ return EraseBkgndCall(w, wp, r, [](CWnd* s, CDC* dc) -> BOOL { return (Self<F>(s)->*F)(dc); }); }
template <auto F> bool SysCommand(CWnd* w, WPARAM wp, LPARAM lp, LRESULT& r)
{ (Self<F>(w)->*F)(static_cast<UINT>(wp), lp); r = 0; return true; }
template <auto F> bool QueryDragIcon(CWnd* w, WPARAM, LPARAM, LRESULT& r)
{ r = reinterpret_cast<LRESULT>((Self<F>(w)->*F)()); return true; }
template <auto F> bool SetCursor(CWnd* w, WPARAM wp, LPARAM lp, LRESULT& r)
{ r = (Self<F>(w)->*F)(PermanentWnd(reinterpret_cast<HWND>(wp)), LOWORD(lp), HIWORD(lp)); return true; }
template <auto F> bool Mouse(CWnd* w, WPARAM wp, LPARAM lp, LRESULT& r)
{ (Self<F>(w)->*F)(static_cast<UINT>(wp), CPoint(static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp)))); r = 0; return true; }
template <auto F> bool Timer(CWnd* w, WPARAM wp, LPARAM, LRESULT& r)
{ (Self<F>(w)->*F)(static_cast<UINT_PTR>(wp)); r = 0; return true; }
bool CtlColorCall(CWnd* w, WPARAM wp, UINT ctlType, LRESULT& r, HBRUSH (*call)(CWnd*, CDC*, UINT));
template <auto F> bool CtlColorReflect(CWnd* w, WPARAM wp, LPARAM, UINT ctlType, LRESULT& r)
{ return CtlColorCall(w, wp, ctlType, r, [](CWnd* s, CDC* dc, UINT t) -> HBRUSH { return (Self<F>(s)->*F)(dc, t); }); }
template <auto F, UINT CtlType> bool CtlColorStaticReflect(CWnd* w, WPARAM wp, LPARAM lp, LRESULT& r)
{ return CtlColorReflect<F>(w, wp, lp, CtlType, r); }
template <auto F> bool Notify(CWnd* w, WPARAM, LPARAM lp, LRESULT& r)
{ r = 0; (Self<F>(w)->*F)(reinterpret_cast<NMHDR*>(lp), &r); return true; }
template <auto F> bool Message(CWnd* w, WPARAM wp, LPARAM lp, LRESULT& r)
{ r = (Self<F>(w)->*F)(wp, lp); return true; }

}  // namespace afx

#define DECLARE_MESSAGE_MAP()                                   \
protected:                                                      \
    static const AFX_MSGMAP* GetThisMessageMap();               \
    const AFX_MSGMAP* GetMessageMap() const override;           \
private:

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                              \
    const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
    const AFX_MSGMAP* theClass::GetThisMessageMap()                         \
    {                                                                       \
        using ThisClass [[maybe_unused]] = theClass;                        \
        using TheBaseClass = baseClass;                                     \
        static const AFX_MSGMAP_ENTRY entries[] = {

#define END_MESSAGE_MAP()                                                   \
            {0, 0, 0, nullptr}                                              \
        };                                                                  \
        static const AFX_MSGMAP map = {&TheBaseClass::GetThisMessageMap, entries}; \
        return &map;                                                        \
    }

#define ON_WM_SIZE()            {WM_SIZE, 0, 0, &::afx::Size<&ThisClass::OnSize>},
#define ON_WM_GETMINMAXINFO()   {WM_GETMINMAXINFO, 0, 0, &::afx::MinMax<&ThisClass::OnGetMinMaxInfo>},
#define ON_WM_ERASEBKGND()      {WM_ERASEBKGND, 0, 0, &::afx::EraseBkgnd<&ThisClass::OnEraseBkgnd>},
#define ON_WM_SYSCOMMAND()      {WM_SYSCOMMAND, 0, 0, &::afx::SysCommand<&ThisClass::OnSysCommand>},
#define ON_WM_PAINT()           {WM_PAINT, 0, 0, &::afx::Void<&ThisClass::OnPaint>},
#define ON_WM_QUERYDRAGICON()   {WM_QUERYDRAGICON, 0, 0, &::afx::QueryDragIcon<&ThisClass::OnQueryDragIcon>},
#define ON_WM_SETCURSOR()       {WM_SETCURSOR, 0, 0, &::afx::SetCursor<&ThisClass::OnSetCursor>},
#define ON_WM_MOUSEMOVE()       {WM_MOUSEMOVE, 0, 0, &::afx::Mouse<&ThisClass::OnMouseMove>},
#define ON_WM_TIMER()           {WM_TIMER, 0, 0, &::afx::Timer<&ThisClass::OnTimer>},
#define ON_MESSAGE(msg, fn)      {msg, 0, 0, &::afx::Message<fn>},
// Commands and notifications from child controls, by id and code.
#define ON_COMMAND(id, fn)       {WM_COMMAND, 0, id, &::afx::Void<fn>},
#define ON_BN_CLICKED(id, fn)    {WM_COMMAND, BN_CLICKED, id, &::afx::Void<fn>},
#define ON_CONTROL(code, id, fn) {WM_COMMAND, code, id, &::afx::Void<fn>},
#define ON_NOTIFY(code, id, fn)  {WM_NOTIFY, static_cast<UINT>(code), id, &::afx::Notify<fn>},
// Handled by the control itself when its parent receives them.
#define ON_CONTROL_REFLECT(code, fn) {WM_REFLECT_BASE + WM_COMMAND, code, 0, &::afx::Void<fn>},
#define ON_NOTIFY_REFLECT(code, fn)  {WM_REFLECT_BASE + WM_NOTIFY, static_cast<UINT>(code), 0, &::afx::Notify<fn>},
#define ON_WM_CTLCOLOR_REFLECT()                                                                            \
    {WM_REFLECT_BASE + WM_CTLCOLORSTATIC, 0, 0, &::afx::CtlColorStaticReflect<&ThisClass::CtlColor, CTLCOLOR_STATIC>},       \
    {WM_REFLECT_BASE + WM_CTLCOLOREDIT, 0, 0, &::afx::CtlColorStaticReflect<&ThisClass::CtlColor, CTLCOLOR_EDIT>},           \
    {WM_REFLECT_BASE + WM_CTLCOLORBTN, 0, 0, &::afx::CtlColorStaticReflect<&ThisClass::CtlColor, CTLCOLOR_BTN>},
