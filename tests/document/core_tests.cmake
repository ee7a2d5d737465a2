# tests of the core (no widgets)
