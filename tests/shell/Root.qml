import QtQuick

// Stands in for the popover's screens: the shell only places and sizes it.
Rectangle { width: 330; height: 200 }
