-- A private test session needs no Bluetooth (and has no D-Bus for it).
bluez_monitor.enabled = false
