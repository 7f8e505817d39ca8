# FFmpeg for the video control, always 5.1 as Debian 12 ships it: the Vivo demuxer, the H.263,
# G.723.1 and Siren decoders, libswscale and libavutil; for saving copies, the Matroska and MP4
# muxers with the MPEG-4 Part 2, AAC and FLAC encoders. The target quillo_ffmpeg carries its
# headers and libraries.
#
# Natively it is Debian's -dev packages (tools/setup installs them), whose libavcodec also has the
# encoders makeviv uses. For Windows it is built once per build tree from Debian's own source
# package of the same version (cmake/ffmpeg-source fetches it with an apt state of its own under
# ffmpeg/apt), as a static MinGW cross build with everything off but what the control uses.
# Only VVPPWEB.OCX links it.

add_library(quillo_ffmpeg INTERFACE)

if(NOT WIN32)
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(QUILLO_FFMPEG REQUIRED IMPORTED_TARGET libavformat libavcodec libswscale libavutil)
  target_link_libraries(quillo_ffmpeg INTERFACE PkgConfig::QUILLO_FFMPEG)
  return()
endif()

include(ExternalProject)

set(ffmpeg_dir ${CMAKE_BINARY_DIR}/ffmpeg)
set(ffmpeg_install ${ffmpeg_dir}/install)
# The same Debian version as the native libraries, when they are installed.
execute_process(COMMAND dpkg-query -W -f=\${source:Version} libavcodec-dev
                OUTPUT_VARIABLE ffmpeg_version ERROR_QUIET RESULT_VARIABLE ffmpeg_query)
if(NOT ffmpeg_query EQUAL 0)
  set(ffmpeg_version "")
endif()

if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86")
  set(ffmpeg_arch x86)
  # A 32-bit host may call us with the stack only 4-byte aligned; FFmpeg's SSE code wants 16.
  set(ffmpeg_cflags -mstackrealign)
else()
  set(ffmpeg_arch x86_64)
  set(ffmpeg_cflags "")
endif()
cmake_host_system_information(RESULT ffmpeg_jobs QUERY NUMBER_OF_LOGICAL_CORES)

set(ffmpeg_libraries avformat avcodec swscale avutil)
set(ffmpeg_byproducts "")
foreach(lib ${ffmpeg_libraries})
  list(APPEND ffmpeg_byproducts ${ffmpeg_install}/lib/lib${lib}.a)
endforeach()

ExternalProject_Add(ffmpeg_cross
  PREFIX ${ffmpeg_dir}
  SOURCE_DIR ${ffmpeg_dir}/source
  BINARY_DIR ${ffmpeg_dir}/build
  INSTALL_DIR ${ffmpeg_install}
  DOWNLOAD_COMMAND ${CMAKE_CURRENT_LIST_DIR}/ffmpeg-source ${ffmpeg_dir}/apt <SOURCE_DIR> "${ffmpeg_version}"
  CONFIGURE_COMMAND <SOURCE_DIR>/configure
    --prefix=<INSTALL_DIR>
    --enable-cross-compile --target-os=mingw32 --arch=${ffmpeg_arch}
    --cross-prefix=${QUILLO_TRIPLE}- --cc=${CMAKE_C_COMPILER}
    "--extra-cflags=${ffmpeg_cflags}"
    --enable-static --disable-shared
    --disable-everything --disable-autodetect --disable-programs --disable-doc --disable-debug
    --disable-network --disable-avdevice --disable-avfilter --disable-postproc --disable-swresample
    # Windows' own threads, though every decoder runs single-threaded: FFmpeg's one-time table
    # set-up and codec locks must hold when the fetch worker opens a clip while another plays.
    --disable-pthreads --enable-w32threads
    # FFmpeg's own assembly (nasm) and its own optimisation, as Debian builds it: decoding and
    # scaling at the machine's pace. (Built for size instead, the OCX was a quarter smaller and
    # decoded a tenth slower.)
    --x86asmexe=nasm
    --enable-demuxer=vivo --enable-decoder=h263,g723_1,siren
    # Save As: Matroska copies of the pictures as they are with FLAC sound, MP4 copies coded afresh.
    --enable-muxer=matroska,mp4 --enable-encoder=mpeg4,aac,flac
  # Installed within the build step, whose products the OCX's link then waits for.
  BUILD_COMMAND make -j${ffmpeg_jobs} COMMAND make install
  INSTALL_COMMAND ""
  BUILD_BYPRODUCTS ${ffmpeg_byproducts}
  LOG_DOWNLOAD ON LOG_CONFIGURE ON LOG_BUILD ON LOG_OUTPUT_ON_FAILURE ON)

# FFmpeg's licence, to travel with the OCX.
set(QUILLO_FFMPEG_LICENSE ${ffmpeg_dir}/source/COPYING.LGPLv2.1)

# Imported targets must name folders that exist when the build is generated.
file(MAKE_DIRECTORY ${ffmpeg_install}/include)
foreach(lib ${ffmpeg_libraries})
  add_library(ffmpeg_${lib} STATIC IMPORTED)
  set_target_properties(ffmpeg_${lib} PROPERTIES IMPORTED_LOCATION ${ffmpeg_install}/lib/lib${lib}.a)
  add_dependencies(ffmpeg_${lib} ffmpeg_cross)
endforeach()
target_include_directories(quillo_ffmpeg SYSTEM INTERFACE ${ffmpeg_install}/include)
# Static libraries in link order, then what FFmpeg's own build lists for them.
target_link_libraries(quillo_ffmpeg INTERFACE
  ffmpeg_avformat ffmpeg_avcodec ffmpeg_swscale ffmpeg_avutil bcrypt ole32 user32 atomic)
add_dependencies(quillo_ffmpeg ffmpeg_cross)
