# bash completion of kavrel-find: its options, the values of --sort and
# --format, file and folder names where an option takes one, and the names
# of coordinate-system groups, systems and datums as the program lists them
# (--list-groups and its siblings), quoted for the shell.

# Adds to COMPREPLY the lines that "$@" prints and that begin with the word
# being completed ($cur, as typed): escaped with backslashes, or as they
# stand when the word was opened with a quote (readline closes it).
_kavrel_find_names()
{
    local typed quoted="" name
    case $cur in
    \'* | \"*)
        typed=${cur:1}
        quoted=1
        ;;
    *) typed=$(dequote "$cur") ;;
    esac
    while IFS= read -r name; do
        [[ -n $name && $name == "$typed"* ]] || continue
        if [[ $quoted ]]; then
            COMPREPLY+=("$name")
        else
            COMPREPLY+=("$(printf '%q' "$name")")
        fi
    done < <("$@" 2>/dev/null)
}

# The value given to option $1 before the word being completed, unquoted.
_kavrel_find_value_of()
{
    local i
    for ((i = 1; i < cword - 1; i++)); do
        if [[ ${words[i]} == "$1" ]]; then
            dequote "${words[i + 1]}"
            return 0
        fi
    done
    return 1
}

_kavrel_find()
{
    local cur prev words cword
    _init_completion -n := || return

    local program=${words[0]} group system
    # The second value of --list-datums is a system of the group before it.
    if ((cword >= 3)) && [[ ${words[cword - 2]} == --list-datums ]]; then
        _kavrel_find_names "$program" --list-systems "$(dequote "$prev")"
        return
    fi
    case $prev in
    --named | --between | --months | --days | --area | --size-at-least | --size-at-most)
        return
        ;;
    --look-in | --stac)
        _filedir -d
        return
        ;;
    --saved-search | --saved-results | --save-search)
        _filedir wqs
        return
        ;;
    --footprints | --gaps)
        _filedir
        return
        ;;
    --sort)
        COMPREPLY=($(compgen -W 'name folder size type modified' -- "$cur"))
        return
        ;;
    --format)
        COMPREPLY=($(compgen -W 'tsv json' -- "$cur"))
        return
        ;;
    --group | --list-systems | --list-datums)
        _kavrel_find_names "$program" --list-groups
        return
        ;;
    --system)
        group=$(_kavrel_find_value_of --group) &&
            _kavrel_find_names "$program" --list-systems "$group"
        return
        ;;
    --datum)
        group=$(_kavrel_find_value_of --group) &&
            system=$(_kavrel_find_value_of --system) &&
            _kavrel_find_names "$program" --list-datums "$group" "$system"
        return
        ;;
    esac
    if [[ -z $cur || $cur == -* ]]; then
        COMPREPLY=($(compgen -W '$(_parse_help "$program")' -- "$cur"))
    fi
} &&
    complete -F _kavrel_find kavrel-find
