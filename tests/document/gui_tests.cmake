# widget tests of the file commands
