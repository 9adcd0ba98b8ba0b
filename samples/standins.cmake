# The list of stand-ins (see mixarro_standin in samples.cmake).
