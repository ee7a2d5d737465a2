# tests of the shell opener, launcher, help and commands
