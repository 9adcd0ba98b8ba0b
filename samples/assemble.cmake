# Assembles one edition's sample payload folder: every file of the edition's catalogue, the
# programs and modules from the stand-ins, the rest small files of their kind.
#   cmake -DPACK=<mixarro-pack> -DEDITION=Indigo|Cobalt -DSTANDINS=<dir with i686/ x86_64/>
#         -DARCH=i686|x86_64 -DSOURCE=<samples dir> -DOUT=<folder> [-DBLOB_SIZE=<bytes>]
#         -P assemble.cmake
# ARCH is the architecture of the installer that loads the 32-bit ASIO modules in process.
# BLOB_SIZE pads the driver files so that the packed blob has exactly that many bytes.
cmake_minimum_required(VERSION 3.25)
foreach(v PACK EDITION STANDINS ARCH SOURCE OUT)
  if(NOT DEFINED ${v})
    message(FATAL_ERROR "assemble.cmake: -D${v}= is required")
  endif()
endforeach()

execute_process(COMMAND ${PACK} names --edition ${EDITION}
  OUTPUT_VARIABLE names_text RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "assemble.cmake: ${PACK} names --edition ${EDITION} failed")
endif()
string(REPLACE "\n" ";" names "${names_text}")
list(FILTER names EXCLUDE REGEX "^$")

file(REMOVE_RECURSE ${OUT})
file(MAKE_DIRECTORY ${OUT})

# The stand-in whose file an entry name gets; empty for the files made here.
function(standin_for name out_var)
  string(TOLOWER "${name}" lower)
  set(arch i686)
  if(lower MATCHES "64")
    set(arch x86_64)
  endif()
  set(file "")
  if(lower MATCHES "_setup_x64\\.exe$")
    set(file x86_64/subsetup.exe)
  elseif(lower MATCHES "_setup\\.exe$")
    set(file i686/subsetup.exe)
  elseif(lower MATCHES "asiodriver64\\.dll$")
    set(file x86_64/asio.dll)
  elseif(lower MATCHES "asiodriver\\.dll$")
    set(file ${ARCH}/asio.dll)
  elseif(lower STREQUAL "qxregsvr64.exe")
    set(file x86_64/regsvr.exe)
  elseif(lower MATCHES "\\.exe$")
    set(file ${arch}/app.exe)
  elseif(lower MATCHES "\\.(dll|sys)$")
    set(file ${arch}/module.dll)
  endif()
  set(${out_var} "${file}" PARENT_SCOPE)
endfunction()

# A driver information file of the plausible shape of one for this product's devices.
function(write_inf path name)
  string(TOLOWER "${name}" lower)
  string(REGEX REPLACE "\\.inf$" "" stem "${lower}")
  if(lower MATCHES "usbgpi")
    set(class Ports)
    set(guid "{4d36e978-e325-11ce-bfc1-08002be10318}")
    set(service usbser)
    set(hardware "USB\\VID_16C0&PID_05E1")
  else()
    set(class MEDIA)
    set(guid "{4d36e96c-e325-11ce-bfc1-08002be10318}")
    string(REGEX REPLACE "^qx" "qxaudio_" service "${stem}")
    set(hardware "ROOT\\${stem}")
  endif()
  string(REGEX REPLACE "^qx" "qxaudio_" catalog "${stem}")
  set(arch_section "NTx86")
  if(lower MATCHES "64")
    set(arch_section "NTamd64")
  endif()
  file(WRITE ${path}
"; ${name}: sample driver information file of the Mixarro sample payload.\r
[Version]\r
Signature=\"$WINDOWS NT$\"\r
Class=${class}\r
ClassGuid=${guid}\r
Provider=%QX%\r
CatalogFile=${catalog}.cat\r
DriverVer=01/15/2021,3.0.2.8\r
\r
[Manufacturer]\r
%QX%=QX,${arch_section}\r
\r
[QX.${arch_section}]\r
%Device.Desc%=Device.Install,${hardware}\r
\r
[Device.Install]\r
CopyFiles=Device.CopyFiles\r
\r
[Device.CopyFiles]\r
${service}.sys\r
\r
[DestinationDirs]\r
Device.CopyFiles=12\r
\r
[Strings]\r
QX=\"QX-Audio Software\"\r
Device.Desc=\"Mixarro sample device (${stem})\"\r
")
endfunction()

set(padded)
foreach(name IN LISTS names)
  string(REPLACE "\\" "/" relative "${name}")
  set(path ${OUT}/${relative})
  get_filename_component(folder ${path} DIRECTORY)
  file(MAKE_DIRECTORY ${folder})
  string(TOLOWER "${name}" lower)
  standin_for("${name}" standin)
  if(lower MATCHES "\\.sys$")
    list(APPEND padded ${path})
  endif()
  if(NOT standin STREQUAL "")
    if(NOT EXISTS ${STANDINS}/${standin})
      message(FATAL_ERROR "assemble.cmake: stand-in ${STANDINS}/${standin} for \"${name}\" is missing")
    endif()
    file(COPY_FILE ${STANDINS}/${standin} ${path})
  elseif(lower STREQUAL "readme.txt")
    file(COPY_FILE ${SOURCE}/readme.txt ${path})
  elseif(lower MATCHES "\\.png$")
    file(COPY_FILE ${SOURCE}/placeholder_72x72.png ${path})
  elseif(lower MATCHES "\\.inf$")
    write_inf(${path} "${name}")
  elseif(lower MATCHES "\\.cat$")
    file(WRITE ${path} "Sample payload placeholder of the signed driver catalogue ${name}.\r\n")
  elseif(lower MATCHES "license\\.txt$")
    file(WRITE ${path}
      "Sample payload placeholder of the MP3 encoder's licence text.\r\n"
      "The delivered product carries the licence of the LAME encoder here.\r\n")
  else()
    file(WRITE ${path} "Sample payload placeholder of ${name}.\r\n")
  endif()
endforeach()

if(DEFINED BLOB_SIZE)
  # Pads the driver files with a text pattern so that catalogue + files = BLOB_SIZE.
  list(LENGTH names count)
  math(EXPR total "${count} * 156")
  foreach(name IN LISTS names)
    string(REPLACE "\\" "/" relative "${name}")
    file(SIZE ${OUT}/${relative} size)
    math(EXPR total "${total} + ${size}")
  endforeach()
  math(EXPR missing "${BLOB_SIZE} - ${total}")
  list(LENGTH padded files)
  if(missing LESS 0 OR files EQUAL 0)
    message(FATAL_ERROR "assemble.cmake: cannot pad to ${BLOB_SIZE} bytes (have ${total})")
  endif()
  math(EXPR each "${missing} / ${files}")
  math(EXPR rest "${missing} - ${each} * ${files}")
  set(line "Mixarro sample payload padding of a driver file, for benchmarks only.\r\n")
  string(LENGTH "${line}" line_length)
  math(EXPR repeats "${each} / ${line_length}")
  math(EXPR tail "${each} - ${repeats} * ${line_length}")
  string(REPEAT "${line}" ${repeats} block)
  string(SUBSTRING "${line}" 0 ${tail} tail_text)
  string(REPEAT "x" ${rest} rest_text)
  set(first 1)
  foreach(path IN LISTS padded)
    file(APPEND ${path} "${block}${tail_text}")
    if(first)
      file(APPEND ${path} "${rest_text}")
      set(first 0)
    endif()
  endforeach()
endif()
