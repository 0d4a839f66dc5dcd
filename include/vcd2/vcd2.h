/*
 * vcd2: builds Video CD 2.0 disc images from a text script.
 *
 * The library exports exactly two functions. A host registers its callback
 * table once with VCD2SetCallbacks and runs one build per VCD2DiscBuilder
 * call. The call blocks while a worker thread parses the script, checks it,
 * makes derived inputs and writes the raw 2352-byte image files.
 *
 * SPDX-License-Identifier: GPL-2.0-or-later
 */
#ifndef VCD2_VCD2_H
#define VCD2_VCD2_H

#include <signal.h>
#include <stddef.h>
#include <stdint.h>

#if defined(__GNUC__) || defined(__clang__)
#define VCD2_EXPORT __attribute__((visibility("default")))
#else
#define VCD2_EXPORT
#endif

/* The version of this header and of the library built with it; the
   library's SONAME is libvcd2.so.VCD2_VERSION_MAJOR, and the build takes its
   version from these lines. */
#define VCD2_VERSION_MAJOR 0
#define VCD2_VERSION_MINOR 1
#define VCD2_VERSION_PATCH 0
#define VCD2_VERSION_STRING "0.1.0"

#ifdef __cplusplus
extern "C" {
#endif

/* Result of VCD2DiscBuilder. The value 2 never occurs. */
typedef enum VCD2Result {
  VCD2_RESULT_OK = 0,           /* every phase succeeded; the images are complete */
  VCD2_RESULT_FAILED = 1,       /* script not opened, a phase failed, or the host asked to stop */
  VCD2_RESULT_MEMORY_ERROR = 3, /* "A memory error occured." */
  VCD2_RESULT_FILE_ERROR = 4    /* "A file error occured." */
} VCD2Result;

/*
 * Progress and stop requests.
 *   percent: -1 when the call carries a status text, else the progress of the
 *            current step, 0..100.
 *   text:    the status text when percent is -1, NULL otherwise.
 * Return nonzero to go on, 0 to ask the build to stop. Called on the build
 * thread, synchronously.
 */
typedef int32_t (*ProgressCallback)(int32_t percent, const char* text);

/* Kinds of a VolumeImagerNode. */
enum {
  VCD2_NODE_READ_FILE = 0,  /* a file whose data the volume writer reads through the I/O table */
  VCD2_NODE_DIRECTORY = 2,  /* a directory */
  VCD2_NODE_PLACED_FILE = 8 /* a file at a given sector whose data the builder writes itself */
};

/*
 * One directory or file of the volume being built, as handed to the host's
 * create_node callback. The returned node has the same layout; the builder
 * writes the chain link `next` into returned nodes.
 */
typedef struct VolumeImagerNode {
  uint32_t reserved_00;            /* 0 */
  uint32_t reserved_04;            /* 0 */
  struct VolumeImagerNode* parent; /* directory of a file; NULL in the root and for directories */
  uint32_t reserved_10;            /* 0 */
  const char* name;                /* valid only during the callback */
  uint32_t kind;                   /* VCD2_NODE_* */
  uint32_t first_sector;           /* placed files: first LBA, 0 when entered later */
  uint32_t size;                   /* file size in bytes */
  const uint8_t* xa_record;        /* placed files: the 14-byte CD-ROM XA system use field */
  union {
    size_t xa_record_length;        /* placed files: 14 */
    const uint8_t* attribute_block; /* other kinds: owner/group id, attributes (LE), file number */
  } attributes;
  uint32_t host_data;              /* nonzero on nodes whose data the host supplies */
  uint16_t volume_sequence_number; /* the disc's volume number (VOLUME) */
  uint8_t file_version;            /* files: 1 */
  uint8_t interleave_gap;          /* files: 0 */
  uint8_t recording_date[6];       /* years since 1900, month, day, hour, minute, second */
  uint8_t gmt_offset;              /* 15-minute units */
  uint8_t reserved_41;             /* 0 */
  struct VolumeImagerNode* next;   /* directory: first entry; entry: next entry; NULL ends */
} VolumeImagerNode;

/*
 * The 13 operations through which the volume writer writes sectors and reads
 * source files. During a build entries 0 to 4 are the builder's own; a host
 * may leave every entry NULL.
 */
typedef struct VolumeIoTable {
  int32_t (*write_sector)(const uint8_t* data, int32_t lba, uint32_t subheader);
  int32_t (*write_sectors)(const uint8_t* data, int32_t lba, uint32_t size, uint32_t subheader,
                           uint32_t last_subheader);
  int32_t (*open_file)(VolumeImagerNode* node);
  int32_t (*close_file)(VolumeImagerNode* node);
  int32_t (*read_file)(void* buffer, uint32_t count);
  void (*reserved[8])(void);
} VolumeIoTable;

/* Values of BuilderCallbacks.mode. */
enum {
  /* build the images the script at script_path describes */
  VCD2_MODE_BUILD = 0,
  /* run the build without leaving a file (the data image is assembled in
     an unnamed file beside where it would go and freed at the end, track
     images are discarded, no disc_image files): the messages, warnings,
     summary and result are the build's own. When a MAKE rule would run, no
     rule runs: the rules' sources get MAKE's own tests without encoding; a
     failure ends the check as it would end the build, otherwise
     show_summary receives the list of those rules and what could not be
     measured, and the result is 0. */
  VCD2_MODE_CHECK = 1,
  /* script_path names an MPEG file: show_summary receives, per Video CD
     property, what a Video CD needs and what the file has, and one line of
     advice per problem. 0 when the file is Video CD compliant, 1 when it is
     not or is no MPEG program stream. */
  VCD2_MODE_INSPECT = 2,
  /* verify a disc without writing: script_path names a cue sheet (a file
     ending in .cue) or the data track image of one build, whose MPEG track
     images follow in verify_files. Every layer is read back: the cue
     sheet, each sector (sync, header address, mode, subheaders, EDC/ECC,
     pregaps), the ISO 9660 volume with its XA attributes, INFO.VCD,
     ENTRIES.VCD, LOT.VCD and PSD.VCD (and their extended forms), and the
     MPEG packs of every track and segment play item. Each fault goes to
     show_message and each warning to show_warning, one line each: where it
     is (file and sector LBA with MM:SS:FF, or file and field), what is
     wrong, and the problem's name in brackets. show_summary receives a line
     saying what was checked. 0 when nothing is wrong (warnings allowed), 1
     when a fault was found or the host asked to stop, 4 when a file of the
     disc cannot be read. */
  VCD2_MODE_VERIFY = 3,
  /* a flag OR'ed into a mode: keep the files MAKE made in this build (MPEG
     stills, MPEG audio, multiplexed streams) where the rules name them, for
     the user to look at and for the next build to take as up to date,
     instead of deleting them when the build ends */
  VCD2_MODE_KEEP_MADE = 0x100
};

/*
 * The host's callback table, twelve pointer-sized words. The library keeps the
 * pointer: the table must stay valid while builds may run. Every word may be
 * NULL.
 */
typedef struct BuilderCallbacks {
  /* word 0: when not NULL, the build stops as when the progress callback
     returns 0, within a tenth of a second after *stop_request becomes
     nonzero, even inside a long encoding that calls no callback. A host's
     signal handler may set it. */
  const volatile sig_atomic_t* stop_request;
  /* word 1: create a node of the directory tree; returns its handle */
  VolumeImagerNode* (*create_node)(const VolumeImagerNode* record);
  /* word 2: release a node when the tree is torn down */
  void (*release_node)(VolumeImagerNode* node);
  /* word 3: show an error message; the build waits until it returns.
     Without it messages go to stderr. Lines end in CR LF. */
  void (*show_message)(const char* text);
  /* word 4: when not NULL, a successful build also writes the whole disc as
     one image: DISC.bin with DISC.cue and a cdrdao DISC.toc, DISC being this
     path. A script without OUTPUT lines then writes only these three files;
     without disc_image such a script is refused. */
  const char* disc_image;
  /* word 5: when not NULL, receives a short summary of a successful build:
     the image files, the tracks and entries, the disc's length. */
  void (*show_summary)(const char* text);
  /* word 6: receives warnings: something the build accepted but that may not
     be what the author meant (a player limit, a cut identifier, an unreachable
     list, a stream that is not Video CD compliant). A warning never changes
     the result. Without it warnings go to stderr prefixed "warning: ". */
  void (*show_warning)(const char* text);
  /* word 7: when not NULL, the build stops after the label check and writes
     the script's playback control to this path as a Graphviz DOT graph
     instead of building anything: a node per play list, selection and played
     item, an edge per PREVIOUS, NEXT, RETURN, DEFAULT, TIMEOUT, selection key
     and play item. No MAKE rule runs, no image is written and show_summary
     is not called. The result is 0 when the graph was written. The library
     writes DOT only; rendering it is the host's business. */
  const char* graph_file;
  /* word 8: what VCD2DiscBuilder does with script_path, a VCD2_MODE_*
     value, with VCD2_MODE_KEEP_MADE OR'ed in when wanted. 0, as in a zeroed
     table, is a normal build. */
  uintptr_t mode;
  /* word 9: the host's volume I/O table, copied at registration */
  const VolumeIoTable* io_table;
  /* word 10: when not NULL (and graph_file is NULL), the build stops after
     the label check and writes each MAKE MENU picture into this existing
     folder as a PNG file named after the rule's target (menu.mpg gives
     menu.png), as the still encoder would receive it, instead of building
     anything. No other MAKE rule runs, no image is written and show_summary
     is not called. The result is 0 when every picture was written. */
  const char* preview_folder;
  /* word 11: in VCD2_MODE_VERIFY, NULL or a NULL-terminated list of the MPEG
     track images that follow the data track image named by script_path, in
     the OUTPUT block's order */
  const char* const* verify_files;
} BuilderCallbacks;

/* Registers the host's table (NULL clears it). Always returns 1. */
VCD2_EXPORT int32_t VCD2SetCallbacks(const BuilderCallbacks* callbacks);

/*
 * Runs one build of the script at script_path (shorter than 256 bytes) and
 * returns a VCD2Result. window is an opaque host handle, unused here.
 * progress may be NULL. Blocks until the build thread has ended. A call made
 * while another build runs is refused with VCD2_RESULT_FAILED.
 */
VCD2_EXPORT int32_t VCD2DiscBuilder(void* window, const char* script_path,
                                    ProgressCallback progress);

#ifdef __cplusplus
}
#endif

#endif /* VCD2_VCD2_H */
