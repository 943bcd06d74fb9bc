# One toolkit window for the tests, kept until the process is killed.
# Usage: x_toolkit_client.py gtk-csd TITLE  GTK 3, drawing its own title bar and shadow
#        x_toolkit_client.py qt5 TITLE      Qt 5 (static window gravity)
import sys

if sys.argv[1] == "gtk-csd":
    import gi

    gi.require_version("Gtk", "3.0")
    from gi.repository import Gtk

    window = Gtk.Window(title=sys.argv[2])
    window.set_titlebar(Gtk.HeaderBar(title=sys.argv[2], show_close_button=True))
    window.set_default_size(300, 200)
    window.connect("destroy", Gtk.main_quit)
    window.show_all()
    Gtk.main()
else:
    from PyQt5.QtWidgets import QApplication, QWidget

    application = QApplication(sys.argv[:1])
    window = QWidget()
    window.setWindowTitle(sys.argv[2])
    window.resize(300, 200)
    window.show()
    application.exec_()
