# mixarro_edition_payload(<edition> <out var>): path of the edition's packed payload blob,
# or empty while the build packs none.
function(mixarro_edition_payload edition out_var)
  set(${out_var} "" PARENT_SCOPE)
endfunction()
