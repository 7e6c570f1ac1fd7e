# The skin generator draws every picture of the program at build time; the
# pictures are linked into mc_res (the res/ folder), so no binary art is kept in the
# repository. Its drawing library also serves the tests (PNG output).
find_package(Freetype REQUIRED)
find_package(ZLIB REQUIRED)

set(_sg ${CMAKE_CURRENT_LIST_DIR})
add_library(mc_skin_draw STATIC ${_sg}/image.cpp ${_sg}/pixel_font.cpp ${_sg}/quantize.cpp ${_sg}/image_io.cpp)
target_link_libraries(mc_skin_draw PUBLIC ZLIB::ZLIB)

file(GLOB _art CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/art_*.cpp)
add_executable(mc_skin_gen ${_sg}/main.cpp ${_sg}/ttf_text.cpp ${_art})
target_link_libraries(mc_skin_gen PRIVATE mc_skin_draw Freetype::Freetype)

set(_res_dir ${CMAKE_BINARY_DIR}/res)
set(_bitmaps 189 194 196 197 198 199 200 204 205 206 207 208 214 221 224 229 230 236)
set(_files ${_res_dir}/rawdata_188.bin)
foreach(_id ${_bitmaps})
  list(APPEND _files ${_res_dir}/bitmap_${_id}.bmp)
endforeach()
add_custom_command(
  OUTPUT ${_res_dir}/skin_files_data.cpp ${_res_dir}/skin_contact_sheet.png ${_files}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${_res_dir}
  COMMAND mc_skin_gen ${_res_dir}
  DEPENDS mc_skin_gen
  COMMENT "Drawing the skin (contact sheet: ${_res_dir}/skin_contact_sheet.png)"
  VERBATIM)

# mc_res (the res/ folder) links the generated files in.
target_sources(mc_res PRIVATE ${_res_dir}/skin_files_data.cpp)
set_source_files_properties(${_res_dir}/skin_files_data.cpp PROPERTIES OBJECT_DEPENDS "${_files}")
