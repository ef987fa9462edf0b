#pragma once

#include <cstddef>
#include <windows.h>

// A dialog class's table of the messages it handles, each with the small named handler that
// handles it. A dialog looks a message up in its own table, then in its base class's.
//
// The entries are made with the Map... templates below, which adapt the message's parameters to
// the handler's signature:
//     MapClicked<&CEnvSetDlg::OnAdd>(IDC_ADD)
//     MapNotify<&CEnvSetDlg::OnDblclkExtList>(IDC_EXT_LIST, NM_DBLCLK)

class CDialog;

// Calls one handler with the message's parameters and returns the message's result.
typedef LRESULT (*MessageCall)(CDialog& dialog, WPARAM wParam, LPARAM lParam);

struct MessageMapEntry {
    UINT message;  // the window message
    UINT code;     // WM_COMMAND and WM_NOTIFY: the notification code
    UINT id;       // WM_COMMAND and WM_NOTIFY: the control's ID
    MessageCall call;
};

struct MessageMap {
    const MessageMap* base;  // the base class's table, or null
    const MessageMapEntry* entries;
    size_t count;
};

// The entry for a message in the table or its bases, or null.
const MessageMapEntry* FindMessageEntry(const MessageMap* map, UINT message, WPARAM wParam,
                                        LPARAM lParam);

namespace message_map_detail {

template <class Handler>
struct HandlerClass;
template <class Class, class Result, class... Args>
struct HandlerClass<Result (Class::*)(Args...)> {
    using type = Class;
};

template <auto Handler>
auto& Target(CDialog& dialog)
{
    return static_cast<typename HandlerClass<decltype(Handler)>::type&>(dialog);
}

template <auto Handler>
LRESULT CallCommand(CDialog& dialog, WPARAM, LPARAM)
{
    (Target<Handler>(dialog).*Handler)();
    return 0;
}

template <auto Handler>
LRESULT CallNotify(CDialog& dialog, WPARAM, LPARAM lParam)
{
    LRESULT result = 0;
    (Target<Handler>(dialog).*Handler)(reinterpret_cast<NMHDR*>(lParam), &result);
    return result;
}

template <auto Handler>
LRESULT CallSysCommand(CDialog& dialog, WPARAM wParam, LPARAM lParam)
{
    (Target<Handler>(dialog).*Handler)(static_cast<UINT>(wParam), lParam);
    return 0;
}

template <auto Handler>
LRESULT CallPaint(CDialog& dialog, WPARAM, LPARAM)
{
    (Target<Handler>(dialog).*Handler)();
    return 0;
}

template <auto Handler>
LRESULT CallQueryDragIcon(CDialog& dialog, WPARAM, LPARAM)
{
    return reinterpret_cast<LRESULT>((Target<Handler>(dialog).*Handler)());
}

template <auto Handler>
LRESULT CallDropFiles(CDialog& dialog, WPARAM wParam, LPARAM)
{
    (Target<Handler>(dialog).*Handler)(reinterpret_cast<HDROP>(wParam));
    return 0;
}

}  // namespace message_map_detail

// A button's click: void Handler().
template <auto Handler>
constexpr MessageMapEntry MapClicked(UINT id)
{
    return {WM_COMMAND, BN_CLICKED, id, &message_map_detail::CallCommand<Handler>};
}

// A control's WM_NOTIFY: void Handler(NMHDR* header, LRESULT* result).
template <auto Handler>
constexpr MessageMapEntry MapNotify(UINT id, UINT code)
{
    return {WM_NOTIFY, code, id, &message_map_detail::CallNotify<Handler>};
}

// WM_SYSCOMMAND: void Handler(UINT command, LPARAM lParam).
template <auto Handler>
constexpr MessageMapEntry MapSysCommand()
{
    return {WM_SYSCOMMAND, 0, 0, &message_map_detail::CallSysCommand<Handler>};
}

// WM_PAINT: void Handler().
template <auto Handler>
constexpr MessageMapEntry MapPaint()
{
    return {WM_PAINT, 0, 0, &message_map_detail::CallPaint<Handler>};
}

// WM_QUERYDRAGICON: HICON Handler().
template <auto Handler>
constexpr MessageMapEntry MapQueryDragIcon()
{
    return {WM_QUERYDRAGICON, 0, 0, &message_map_detail::CallQueryDragIcon<Handler>};
}

// WM_DROPFILES: void Handler(HDROP drop).
template <auto Handler>
constexpr MessageMapEntry MapDropFiles()
{
    return {WM_DROPFILES, 0, 0, &message_map_detail::CallDropFiles<Handler>};
}
