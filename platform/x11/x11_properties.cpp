#include "platform/x11/x11_properties.h"

#include "platform/x11/x11_connection.h"
#include "platform/x11/x11_text.h"

namespace tallowin::x11 {

xcb_get_property_cookie_t requestProperty(X11Connection& connection, xcb_window_t window, xcb_atom_t property,
                                          std::uint32_t length) {
    return xcb_get_property(connection.xcb(), 0, window, property, XCB_GET_PROPERTY_TYPE_ANY, 0, length);
}

PropertyReply awaitProperty(X11Connection& connection, xcb_get_property_cookie_t cookie) {
    return awaitReply(connection.log(), "GetProperty", connection.xcb(), xcb_get_property_reply, cookie);
}

std::span<const std::uint32_t> cardinals(const PropertyReply& reply) {
    if (!reply || reply->format != 32) {
        return {};
    }
    const auto count = static_cast<std::size_t>(xcb_get_property_value_length(reply.get())) / 4;
    return {static_cast<const std::uint32_t*>(xcb_get_property_value(reply.get())), count};
}

std::string_view bytesOf(const PropertyReply& reply) {
    if (!reply || reply->format != 8) {
        return {};
    }
    return {static_cast<const char*>(xcb_get_property_value(reply.get())),
            static_cast<std::size_t>(xcb_get_property_value_length(reply.get()))};
}

std::optional<std::string> textOf(X11Connection& connection, const PropertyReply& reply) {
    if (!reply || reply->format != 8 || reply->type == XCB_ATOM_NONE) {
        return std::nullopt;
    }
    TextEncoding encoding = TextEncoding::Unknown;
    if (reply->type == connection.ewmh().UTF8_STRING) {
        encoding = TextEncoding::Utf8;
    } else if (reply->type == XCB_ATOM_STRING) {
        encoding = TextEncoding::Latin1;
    } else if (reply->type == connection.atoms().compoundText) {
        encoding = TextEncoding::CompoundText;
    }
    return decodeTextProperty(encoding, bytesOf(reply));
}

}  // namespace tallowin::x11
