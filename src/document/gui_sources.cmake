# Qt side of the document subsystem: the file dialog and the file commands.
