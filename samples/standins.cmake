# The stand-ins, each built for both architectures (see mixarro_standin in samples.cmake).
# The sample payload copies them under the product's file names (samples/payload.cmake):
#   subsetup.exe  the driver packages' sub-setups
#   asio.dll      the ASIO driver modules
#   regsvr.exe    the registration program "qxregsvr64.exe"
#   app.exe       every other program (applications, control panels)
#   module.dll    every other module (MixarroRemote, lame_enc)
# The sub-setups and the registration program run hidden, as the real ones do with their
# switches: they are GUI programs, so that no console window opens over the installer.
foreach(arch IN ITEMS i686 x86_64)
  mixarro_standin(NAME subsetup.exe ARCH ${arch} KIND gui SOURCE samples/standins/subsetup.cpp)
  mixarro_standin(NAME asio.dll ARCH ${arch} KIND dll SOURCE samples/standins/asio_module.cpp)
  mixarro_standin(NAME regsvr.exe ARCH ${arch} KIND gui SOURCE samples/standins/regsvr.cpp)
  mixarro_standin(NAME app.exe ARCH ${arch} KIND gui SOURCE samples/standins/app.cpp)
  mixarro_standin(NAME module.dll ARCH ${arch} KIND dll SOURCE samples/standins/module.cpp)
endforeach()
