# fish completion of kavrel-find: its options, the values of --sort and
# --format, file and folder names where an option takes one, and the names
# of coordinate-system groups, systems and datums as the program lists them
# (--list-groups and its siblings); fish quotes them for the command line.

# The value given to an option earlier on the command line.
function __kavrel_find_value_of --argument-names option
    set -l tokens (commandline -opc)
    for i in (seq 1 (math (count $tokens) - 1))
        if test "$tokens[$i]" = $option
            echo $tokens[(math $i + 1)]
            return 0
        end
    end
    return 1
end

function __kavrel_find_systems
    set -l group (__kavrel_find_value_of --group); or return
    kavrel-find --list-systems $group 2>/dev/null
end

function __kavrel_find_datums
    set -l group (__kavrel_find_value_of --group); or return
    set -l system (__kavrel_find_value_of --system); or return
    kavrel-find --list-datums $group $system 2>/dev/null
end

# The second value of --list-datums: the systems of the group before it.
function __kavrel_find_after_list_datums_group
    set -l tokens (commandline -opc)
    test (count $tokens) -ge 2; and test "$tokens[-2]" = --list-datums
end

complete -c kavrel-find -f
complete -c kavrel-find -n __kavrel_find_after_list_datums_group -x \
    -a '(kavrel-find --list-systems (commandline -opc)[-1] 2>/dev/null)'
complete -c kavrel-find -l named -x -d 'File-name pattern with * and ?'
complete -c kavrel-find -l look-in -x -a '(__fish_complete_directories)' -d 'Folder where the search begins'
complete -c kavrel-find -l no-subfolders -d 'Search the start folder only'
complete -c kavrel-find -l between -x -d 'Modified between two dates (MM/DD/YYYY)'
complete -c kavrel-find -l months -x -d 'Modified during the previous N months'
complete -c kavrel-find -l days -x -d 'Modified during the previous N days'
complete -c kavrel-find -l area -x -d 'Corners of the area: NWX NWY SEX SEY'
complete -c kavrel-find -l inclusive -d 'The file lies wholly inside the area'
complete -c kavrel-find -l exclusive -d 'The file lies wholly outside the area'
complete -c kavrel-find -l intersection -d 'The file overlaps the area without lying inside it'
complete -c kavrel-find -l lat-lon -d 'The corners are latitudes and longitudes'
complete -c kavrel-find -l group -x -a '(kavrel-find --list-groups 2>/dev/null)' -d 'Coordinate-system group'
complete -c kavrel-find -l system -x -a '(__kavrel_find_systems)' -d 'System of the group'
complete -c kavrel-find -l datum -x -a '(__kavrel_find_datums)' -d Datum
complete -c kavrel-find -l list-groups -d 'Print the System Group list'
complete -c kavrel-find -l list-systems -x -a '(kavrel-find --list-groups 2>/dev/null)' -d 'Print the System list of a group'
complete -c kavrel-find -l list-datums -x -a '(kavrel-find --list-groups 2>/dev/null)' -d 'Print the Datum list of a system'
complete -c kavrel-find -l size-at-least -x -d 'At least KB kilobytes'
complete -c kavrel-find -l size-at-most -x -d 'At most KB kilobytes'
complete -c kavrel-find -l sort -x -a 'name folder size type modified' -d 'Print the rows sorted by a column'
complete -c kavrel-find -l descending -d 'The reverse order'
complete -c kavrel-find -l print0 -d 'Print full paths ended by NUL'
complete -c kavrel-find -l format -x -a 'tsv json' -d 'Output format'
complete -c kavrel-find -l footprints -r -F -d 'Write the footprints to a vector file'
complete -c kavrel-find -l stac -x -a '(__fish_complete_directories)' -d 'Write a STAC catalog to a folder'
complete -c kavrel-find -l coverage -d 'Print the share of the area the files cover'
complete -c kavrel-find -l gaps -r -F -d 'Write the uncovered parts of the area to a vector file'
complete -c kavrel-find -l saved-search -r -F -d 'Run the search stored in a file'
complete -c kavrel-find -l saved-results -r -F -d 'Print the rows stored in a file'
complete -c kavrel-find -l save-search -r -F -d 'Store the search in a file'
complete -c kavrel-find -l save-results -d 'Store the rows found with it'
complete -c kavrel-find -l no-cache -d 'Read every file without the footprint cache'
complete -c kavrel-find -l catalogue-only -d 'Answer from the catalogue alone'
complete -c kavrel-find -l catalogue-status -d 'Print what the catalogue knows and watches'
complete -c kavrel-find -l help -d 'Show the options'
complete -c kavrel-find -l version -d 'Show the version'
