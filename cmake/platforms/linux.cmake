# Linux: the Qt runtime and the desktop image.
