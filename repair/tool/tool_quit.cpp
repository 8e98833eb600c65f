#include "tool_quit.h"

#include <dbus/dbus.h>

void postToolQuit()
{
    DBusError error;
    dbus_error_init(&error);
    DBusConnection *bus = dbus_bus_get_private(DBUS_BUS_SYSTEM, &error);
    if (!bus) {
        dbus_error_free(&error);
        return;
    }
    dbus_connection_set_exit_on_disconnect(bus, FALSE);
    if (DBusMessage *signal = dbus_message_new_signal("/org/tarnwick/Tool", "org.tarnwick.Tool",
                                                      "ToolQuit")) {
        dbus_connection_send(bus, signal, nullptr);
        dbus_connection_flush(bus);
        dbus_message_unref(signal);
    }
    dbus_connection_close(bus);
    dbus_connection_unref(bus);
}
