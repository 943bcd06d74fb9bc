#pragma once

#include <xcb/xcb.h>

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "platform/x11/x11_call.h"

namespace tallowin::x11 {

class X11Connection;

using PropertyReply = XResult<xcb_get_property_reply_t>;

// Lengths in 32-bit units, as GetProperty counts them.
inline constexpr std::uint32_t kListLength = 1U << 16;
inline constexpr std::uint32_t kTextLength = 4096;

xcb_get_property_cookie_t requestProperty(X11Connection& connection, xcb_window_t window, xcb_atom_t property,
                                          std::uint32_t length);
PropertyReply awaitProperty(X11Connection& connection, xcb_get_property_cookie_t cookie);

std::span<const std::uint32_t> cardinals(const PropertyReply& reply);
std::string_view bytesOf(const PropertyReply& reply);
// A text property in UTF-8, whatever encoding it came in; nothing when absent
// or in an encoding we cannot read.
std::optional<std::string> textOf(X11Connection& connection, const PropertyReply& reply);

}  // namespace tallowin::x11
