# tests of the text utilities (no widgets)
