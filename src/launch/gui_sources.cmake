# Qt side of launching: shell opener, link launcher, help, Copy/Execute commands
